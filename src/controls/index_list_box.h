#pragma once

#include <QAbstractScrollArea>
#include <QString>

#include <functional>

class QPainter;

namespace kavio::qt {

// A virtual list box: it holds only a row count; each row's text and painting come from the
// owner. Every change of the selected index, whatever its cause, is reported through one
// notification, indexChanged(), which fires only when the index differs from the one remembered
// at the previous report (LastItemIndex). ResetIndex() forgets the remembered index so the next
// SetItemIndex() reports even an unchanged selection.
//
// Rows have a fixed height. Mouse presses and selection keys move the selection and report on
// Click() (at the button release, or right after the key), as the platform's list box does.
class TIndexListBox : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kMaxCount = 32767;
    static constexpr int kDefaultItemHeight = 12;

    using DataHandler = std::function<QString(int index)>;
    // Paints row `index` into `rect`; the whole rectangle is the handler's to fill.
    using DrawItemHandler =
        std::function<void(QPainter& painter, int index, const QRect& rect, bool selected)>;

    explicit TIndexListBox(QWidget* parent = nullptr);

    // The number of rows, limited to 0 … kMaxCount. Changing it never reports by itself: a
    // selection beyond the new end moves to the last row (none when empty) and the remembered
    // index stays, so the next SetItemIndex() or click reports the difference.
    int Count() const { return m_count; }
    void SetCount(int count);

    // The selected row, −1 for none. An index outside 0 … Count()−1 selects nothing and counts
    // as −1.
    int ItemIndex() const { return m_itemIndex; }
    void SetItemIndex(int index);

    int PrevItemIndex() const { return m_prevItemIndex; }
    int LastItemIndex() const { return m_lastItemIndex; }

    // Removes row `index` (a row past the end is ignored); a selection behind it moves up one,
    // a removed selected row leaves no selection.
    void DeleteString(int index);
    // Removes all rows; reports when an index was remembered.
    void Clear();
    // Forgets both remembered indexes and reports unconditionally.
    virtual void ResetIndex();

    // The row's text as the data handler answers it; empty without a handler or out of range.
    QString ItemText(int index) const;
    void SetDataHandler(DataHandler handler) { m_data = std::move(handler); }
    void SetDrawItemHandler(DrawItemHandler handler);

    int ItemHeight() const { return m_itemHeight; }
    void SetItemHeight(int pixels);
    int TopIndex() const;
    void SetTopIndex(int index);
    // The row under a viewport point, −1 below the last row.
    int ItemAt(const QPoint& viewportPoint) const;
    QRect ItemRect(int index) const;  // in viewport coordinates

signals:
    void indexChanged(kavio::qt::TIndexListBox* sender);

protected:
    // Reports the change; override to react before or instead of the signal.
    virtual void ChangeIndex();
    // The end of a selection made by the user (mouse or keyboard).
    virtual void Click();

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Selects without reporting; −1 or an out-of-range index selects nothing.
    void select(int index);
    // Reports when `index` differs from the remembered one, then remembers it.
    void rememberIndex(int index);
    int visibleRows() const;
    void updateScrollBar();
    void ensureVisible(int index);
    void paintDefaultItem(QPainter& painter, int index, const QRect& rect, bool selected) const;

    DataHandler m_data;
    DrawItemHandler m_drawItem;
    int m_count = 0;
    int m_itemIndex = -1;
    int m_prevItemIndex = -1;
    int m_lastItemIndex = -1;
    int m_itemHeight = kDefaultItemHeight;
    bool m_tracking = false;  // left button held after a press on a row
};

}  // namespace kavio::qt
