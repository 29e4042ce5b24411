#pragma once

#include <QColor>
#include <QLabel>
#include <QUrl>

#include <functional>

class QPainter;

namespace kavio::qt {

// The labels draw their text as plain text on one line ("&" is shown, never an accelerator)
// and without background unless autoFillBackground is set.

enum class TEllipsisKind { None, Word, End, Path };

// Shortens `text` to fit `width` pixels of `metrics` by the rule of `kind`:
//  Word  drops whole words (blank-separated) from the end and appends "…"; a first word that
//        does not fit is cut at a character instead, so a text without blanks still shows;
//  End   cuts at any character and appends "…";
//  Path  replaces characters in the middle with "…", keeping the last path element;
//  None  returns the text unchanged (the painter clips it).
QString ShortenText(const QString& text, const QFontMetrics& metrics, int width,
                    TEllipsisKind kind);

// A label that shortens a text too long for it.
class TEllipsisLabel : public QLabel {
    Q_OBJECT
public:
    explicit TEllipsisLabel(QWidget* parent = nullptr);

    TEllipsisKind Ellipsis() const { return m_ellipsis; }
    void SetEllipsis(TEllipsisKind kind);
    // The text as the label shows it at its present width.
    QString ShownText() const;

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TEllipsisKind m_ellipsis = TEllipsisKind::Path;
};

enum class TBevelKind { None, Lowered, Raised, Space };

// A label drawing its text inside an outer and an inner bevel. Each bevel other than None takes
// BevelWidth pixels off every side; a lowered or raised one draws a frame there and takes
// another BevelWidth. The text rectangle moves in only on the sides the text is aligned to.
class TBevelLabel : public QLabel {
    Q_OBJECT
public:
    explicit TBevelLabel(QWidget* parent = nullptr);

    TBevelKind BevelOuter() const { return m_outer; }
    void SetBevelOuter(TBevelKind kind);
    TBevelKind BevelInner() const { return m_inner; }
    void SetBevelInner(TBevelKind kind);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int pixels);  // at least 1

    // When on (the default), the label takes its sizeHint() whenever its text, font or bevels
    // change.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool on);

    // Pixels the bevels take from each side.
    int BevelSpace() const;
    // Where the text is drawn, in widget coordinates.
    QRect TextRect() const;
    // Text width and height plus the bevels on both sides.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Hides QLabel::setText so that the automatic size follows the text.
    void setText(const QString& text);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void paintBevelsAndText(QPainter& painter);
    void bevelsChanged();

private:
    TBevelKind m_outer = TBevelKind::None;
    TBevelKind m_inner = TBevelKind::Raised;
    int m_bevelWidth = 1;
    bool m_autoSize = true;
};

// A bevel label over a left-to-right colour gradient.
class TGradientLabel : public TBevelLabel {
    Q_OBJECT
public:
    explicit TGradientLabel(QWidget* parent = nullptr);

    QColor GradientStart() const { return m_start; }
    void SetGradientStart(const QColor& color);
    QColor GradientFinish() const { return m_finish; }
    void SetGradientFinish(const QColor& color);
    // How many columns of the gradient show from the left: −1 all, 0 none. Capped at the
    // label's width when set; values below −1 mean −1.
    int ShowRange() const { return m_showRange; }
    void SetShowRange(int pixels);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_start = QColor(0, 0, 255);
    QColor m_finish = QColor(255, 255, 255);
    int m_showRange = -1;
};

enum class TLinkType { Caption, MailTo, HTTP, NoFace };

// A clickable address. A click opens the link and, with ClickOnClose, closes the window that
// holds the label.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    enum class LinkState { None, Hover, Active };

    explicit TLinkLabel(QWidget* parent = nullptr);

    TLinkType LinkType() const { return m_linkType; }
    void SetLinkType(TLinkType type) { m_linkType = type; }
    QColor NormalColor() const { return m_normal; }
    void SetNormalColor(const QColor& color);
    QColor HoverColor() const { return m_hover; }
    void SetHoverColor(const QColor& color);
    QColor ActiveColor() const { return m_active; }
    void SetActiveColor(const QColor& color);
    bool ClickOnClose() const { return m_clickOnClose; }
    void SetClickOnClose(bool on) { m_clickOnClose = on; }

    LinkState State() const { return m_state; }
    // The colour the next paint uses.
    QColor CurrentColor() const;
    // What a click opens; empty for NoFace or an empty caption.
    QUrl LinkUrl() const;
    // What opening does; QDesktopServices::openUrl unless replaced (tests).
    void SetUrlOpener(std::function<void(const QUrl&)> opener) { m_opener = std::move(opener); }

    // The click: shows the active colour once, opens the link, closes the window.
    void Click();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setState(LinkState state);

    TLinkType m_linkType = TLinkType::Caption;
    QColor m_normal = QColor(0, 0, 255);
    QColor m_hover = QColor(255, 0, 255);
    QColor m_active = QColor(255, 0, 0);
    bool m_clickOnClose = true;
    LinkState m_state = LinkState::None;
    std::function<void(const QUrl&)> m_opener;
};

}  // namespace kavio::qt
