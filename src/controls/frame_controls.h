#pragma once

#include "config/ini_file.h"
#include "controls/labels.h"

#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QToolButton>

// The pieces of the borderless main window: frame areas that move and resize it, its own
// maximised state, the title label, bordered panels, hover-reporting areas and the glyph-only
// caption buttons.
namespace kavio::qt {

// A settings rectangle (right and bottom exclusive) as a QRect, and back.
inline QRect ToQRect(const TRect& r)
{
    return QRect(QPoint(r.Left, r.Top), QSize(r.Right - r.Left, r.Bottom - r.Top));
}
inline TRect ToTRect(const QRect& r)
{
    return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// The frame part an area stands for.
enum class TResizePart {
    rpTitleBar,
    rpSizeNW,
    rpSizeN,
    rpSizeNE,
    rpSizeW,
    rpSizeE,
    rpSizeSW,
    rpSizeS,
    rpSizeSE,
    rpSizeBox,
    rpSysMenu,
    rpMinimize,
    rpMaximize,
    rpClose,
    rpVScroll,
    rpHScroll,
    rpBeep,
};

// The window edges a part resizes from; none for the parts that do not resize.
Qt::Edges ResizeEdges(TResizePart part);

// An area of the window that acts as a piece of its frame.
//
// Left button on the title-bar part moves the window, on an edge, a corner or the size box
// (bottom-right) resizes it from there: the window system's interactive move or resize is
// asked for first, and where it declines (no window manager, the offscreen platform) the
// window follows the mouse until the button is released, never smaller than its minimum size.
// A left click on the minimise, maximise or close part minimises the window, asks for the
// maximise toggle, or closes the window; the beep part beeps. The system-menu and scroll-bar
// parts only report. The right and middle buttons move nothing; a right click leaves the
// context-menu event to the window, so it opens the window's own menu.
//
// Presses on other widgets can be handed on with MouseDown / MouseUp / DblClick (the title
// label passes its mouse to the title bar this way); the move or resize then follows the mouse
// wherever it goes until the button is released.
class TSizeBox : public QWidget {
    Q_OBJECT
public:
    explicit TSizeBox(QWidget* parent = nullptr, TResizePart part = TResizePart::rpTitleBar);
    ~TSizeBox() override;

    TResizePart Part() const { return m_part; }
    // Also sets the part's mouse cursor.
    void SetPart(TResizePart part);

    // A picture drawn at the top left (a size grip, for example); none by default.
    QPixmap Picture() const { return m_picture; }
    void SetPicture(const QPixmap& picture);

    // True while the window follows the mouse by hand.
    bool Following() const { return m_following; }

    void MouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void MouseUp(Qt::MouseButton button, const QPoint& globalPos);
    void DblClick();

signals:
    void mouseEntered();
    void mouseLeft();
    void pressed(Qt::MouseButton button, const QPoint& globalPos);
    void released(Qt::MouseButton button, const QPoint& globalPos);
    void doubleClicked();
    // A double click on the title-bar part or a click on the maximise part; the window decides
    // what its maximised state is.
    void maximizeToggleRequested();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startFollowing(const QPoint& globalPos);
    void follow(const QPoint& globalPos);
    void stopFollowing();

    TResizePart m_part = TResizePart::rpTitleBar;
    QPixmap m_picture;
    bool m_following = false;
    QPoint m_pressPos;      // global
    QRect m_pressGeometry;  // the window's geometry at the press
};

enum class TFormState { mfNormal, mfMaximize };

// The window's own maximised state. In the normal state the window's bounds are the normal
// rectangle; maximising keeps them and puts the window on the maximised rectangle, and while
// maximised any move or resize of the window is undone by putting it back there.
class TSizeRec : public QObject {
    Q_OBJECT
public:
    // `form` must be a top-level widget; it becomes the parent. The normal rectangle starts as
    // the form's present geometry, the maximised one as the primary screen's available area.
    explicit TSizeRec(QWidget* form);

    QWidget* Form() const { return m_form; }

    TFormState FormState() const { return m_state; }
    // Changing the state puts the window on the normal or the maximised rectangle.
    void SetFormState(TFormState state);

    QRect MaximumRect() const { return m_maximumRect; }
    // In the maximised state the window moves there at once.
    void SetMaximumRect(const QRect& rect);

    // The window's geometry in the normal state, as it is now or as it was last seen before
    // maximising; what shut-down stores. It holds for a window never shown, too (a window that
    // starts hidden gets no move or resize events).
    QRect NormalRect() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_form;
    TFormState m_state = TFormState::mfNormal;
    QRect m_normalRect;
    QRect m_maximumRect;
};

// The page title: one line, vertically centred, "&" shown as it is, shortened at a word with an
// ellipsis when too long, drawn without background. With a valid ShadowColor the text is first
// drawn in that colour, moved by the shadow offset, then in the font colour over it.
class TTitleLabel : public QLabel {
    Q_OBJECT
public:
    explicit TTitleLabel(QWidget* parent = nullptr);

    QColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(const QColor& color);  // invalid: no shadow
    int ShadowOffsetX() const { return m_shadowX; }
    void SetShadowOffsetX(int pixels);
    int ShadowOffsetY() const { return m_shadowY; }
    void SetShadowOffsetY(int pixels);

    // The text as the label shows it at its present width.
    QString ShownText() const;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_shadowColor;
    int m_shadowX = 1;
    int m_shadowY = 1;
};

// A panel with an outer and an inner bevel, each BevelWidth pixels wide and each inside the
// previous: a lowered bevel is dark on the top and left and light on the bottom and right, a
// raised one the other way round, a space bevel is drawn in BorderColor on all sides. The
// bevels are kept free of children (contents margins).
class TBorderdPanel : public QWidget {
    Q_OBJECT
public:
    explicit TBorderdPanel(QWidget* parent = nullptr);

    // The palette's frame colour (QPalette::Shadow) until set.
    QColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(const QColor& color);
    TBevelKind BevelOuter() const { return m_outer; }
    void SetBevelOuter(TBevelKind kind);
    TBevelKind BevelInner() const { return m_inner; }
    void SetBevelInner(TBevelKind kind);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int pixels);  // at least 1

    // Pixels the bevels take from each side.
    int BevelSpace() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void bevelsChanged();

    QColor m_borderColor;
    TBevelKind m_outer = TBevelKind::Raised;
    TBevelKind m_inner = TBevelKind::None;
    int m_bevelWidth = 1;
};

// A picture that reports the mouse entering and leaving it.
class THoverdImage : public QLabel {
    Q_OBJECT
public:
    explicit THoverdImage(QWidget* parent = nullptr);

signals:
    void mouseEntered();
    void mouseLeft();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

// A panel that reports the mouse entering and leaving it.
class THoverdPanel : public QFrame {
    Q_OBJECT
public:
    explicit THoverdPanel(QWidget* parent = nullptr);

signals:
    void mouseEntered();
    void mouseLeft();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

// A flat 14 × 14 button that shows only its picture. It takes its command through
// setDefaultAction(); whatever caption the action carries, the button's text stays empty. The
// tooltip and status text come from the action.
class TNoCaptiondSpeedBtn : public QToolButton {
    Q_OBJECT
public:
    static constexpr int kSize = 14;

    explicit TNoCaptiondSpeedBtn(QWidget* parent = nullptr);

    // Hides QToolButton::setDefaultAction so that the caption never reaches the button.
    void setDefaultAction(QAction* action);

    QSize sizeHint() const override { return QSize(kSize, kSize); }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void actionEvent(QActionEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void dropCaption();
};

}  // namespace kavio::qt
