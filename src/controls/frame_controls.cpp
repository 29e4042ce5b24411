#include "controls/frame_controls.h"

#include <QAction>
#include <QActionEvent>
#include <QApplication>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace kavio::qt {

namespace {

Qt::CursorShape cursorOf(TResizePart part)
{
    switch (part) {
    case TResizePart::rpSizeNW:
    case TResizePart::rpSizeSE: return Qt::SizeFDiagCursor;
    case TResizePart::rpSizeNE:
    case TResizePart::rpSizeSW: return Qt::SizeBDiagCursor;
    case TResizePart::rpSizeN:
    case TResizePart::rpSizeS: return Qt::SizeVerCursor;
    case TResizePart::rpSizeW:
    case TResizePart::rpSizeE: return Qt::SizeHorCursor;
    case TResizePart::rpSizeBox: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}

// Frame3D's layout: the top row and left column in `topLeft`, then the right column and the
// bottom row (corners included) in `bottomRight`, `width` times, each ring inside the last.
void drawBevel(QPainter& painter, QRect& rect, int width, const QColor& topLeft,
               const QColor& bottomRight)
{
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        painter.fillRect(QRect(rect.left(), rect.top(), rect.width() - 1, 1), topLeft);
        painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height() - 1), topLeft);
        painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
        painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
}

}  // namespace

Qt::Edges ResizeEdges(TResizePart part)
{
    switch (part) {
    case TResizePart::rpSizeNW: return Qt::TopEdge | Qt::LeftEdge;
    case TResizePart::rpSizeN: return Qt::TopEdge;
    case TResizePart::rpSizeNE: return Qt::TopEdge | Qt::RightEdge;
    case TResizePart::rpSizeW: return Qt::LeftEdge;
    case TResizePart::rpSizeE: return Qt::RightEdge;
    case TResizePart::rpSizeSW: return Qt::BottomEdge | Qt::LeftEdge;
    case TResizePart::rpSizeS: return Qt::BottomEdge;
    case TResizePart::rpSizeSE:
    case TResizePart::rpSizeBox: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
    }
}

// TSizeBox

TSizeBox::TSizeBox(QWidget* parent, TResizePart part) : QWidget(parent)
{
    SetPart(part);
}

TSizeBox::~TSizeBox()
{
    stopFollowing();
}

void TSizeBox::SetPart(TResizePart part)
{
    m_part = part;
    setCursor(cursorOf(part));
}

void TSizeBox::SetPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void TSizeBox::MouseDown(Qt::MouseButton button, const QPoint& globalPos)
{
    emit pressed(button, globalPos);
    if (button != Qt::LeftButton)
        return;
    if (m_part == TResizePart::rpBeep) {
        QApplication::beep();
        return;
    }
    const Qt::Edges edges = ResizeEdges(m_part);
    if (m_part != TResizePart::rpTitleBar && !edges)
        return;
    QWindow* handle = window()->windowHandle();
    bool started = false;
    if (handle)
        started = edges ? handle->startSystemResize(edges) : handle->startSystemMove();
    if (!started)
        startFollowing(globalPos);
}

void TSizeBox::MouseUp(Qt::MouseButton button, const QPoint& globalPos)
{
    if (m_following && button == Qt::LeftButton) {
        follow(globalPos);
        stopFollowing();
    }
    emit released(button, globalPos);
    if (button != Qt::LeftButton || !rect().contains(mapFromGlobal(globalPos)))
        return;
    switch (m_part) {
    case TResizePart::rpMinimize: window()->showMinimized(); break;
    case TResizePart::rpMaximize: emit maximizeToggleRequested(); break;
    case TResizePart::rpClose: window()->close(); break;
    default: break;
    }
}

void TSizeBox::DblClick()
{
    stopFollowing();
    emit doubleClicked();
    if (m_part == TResizePart::rpTitleBar)
        emit maximizeToggleRequested();
}

void TSizeBox::startFollowing(const QPoint& globalPos)
{
    m_pressPos = globalPos;
    m_pressGeometry = window()->geometry();
    if (m_following)
        return;
    m_following = true;
    // The application filter sees the mouse wherever it goes, so a press handed on from another
    // widget is followed as well as one on this area.
    qApp->installEventFilter(this);
}

void TSizeBox::stopFollowing()
{
    if (!m_following)
        return;
    m_following = false;
    qApp->removeEventFilter(this);
}

void TSizeBox::follow(const QPoint& globalPos)
{
    QWidget* form = window();
    const QPoint delta = globalPos - m_pressPos;
    const Qt::Edges edges = ResizeEdges(m_part);
    if (!edges) {
        form->move(m_pressGeometry.topLeft() + delta);
        return;
    }
    const QSize least = form->minimumSize().expandedTo(QSize(1, 1));
    const QSize most = form->maximumSize();
    const QRect& g = m_pressGeometry;
    int left = g.left();
    int top = g.top();
    int width = g.width();
    int height = g.height();
    const int right = g.left() + g.width();  // exclusive edges stay put when the other one moves
    const int bottom = g.top() + g.height();
    if (edges & Qt::LeftEdge) {
        width = std::clamp(g.width() - delta.x(), least.width(), std::max(least.width(), most.width()));
        left = right - width;
    } else if (edges & Qt::RightEdge) {
        width = std::clamp(g.width() + delta.x(), least.width(), std::max(least.width(), most.width()));
    }
    if (edges & Qt::TopEdge) {
        height = std::clamp(g.height() - delta.y(), least.height(),
                            std::max(least.height(), most.height()));
        top = bottom - height;
    } else if (edges & Qt::BottomEdge) {
        height = std::clamp(g.height() + delta.y(), least.height(),
                            std::max(least.height(), most.height()));
    }
    form->setGeometry(left, top, width, height);
}

bool TSizeBox::eventFilter(QObject* watched, QEvent* event)
{
    // Each mouse event reaches the application filter once for the window and once for the
    // widget; only the widget's copy counts.
    if (!m_following || !watched->isWidgetType())
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::MouseMove) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->buttons() & Qt::LeftButton)
            follow(mouse->globalPosition().toPoint());
        else
            stopFollowing();  // the release went somewhere we never saw
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            follow(mouse->globalPosition().toPoint());
            stopFollowing();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TSizeBox::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    emit mouseEntered();
}

void TSizeBox::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    emit mouseLeft();
}

void TSizeBox::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    MouseDown(event->button(), event->globalPosition().toPoint());
}

void TSizeBox::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    MouseUp(event->button(), event->globalPosition().toPoint());
}

void TSizeBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        DblClick();
    else
        MouseDown(event->button(), event->globalPosition().toPoint());
}

void TSizeBox::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

// TSizeRec

TSizeRec::TSizeRec(QWidget* form) : QObject(form), m_form(form)
{
    m_normalRect = form->geometry();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_maximumRect = screen->availableGeometry();
    form->installEventFilter(this);
}

void TSizeRec::SetFormState(TFormState state)
{
    if (state == m_state)
        return;
    if (state == TFormState::mfMaximize)
        m_normalRect = m_form->geometry();
    m_state = state;
    const QRect target = state == TFormState::mfMaximize ? m_maximumRect : m_normalRect;
    if (target.isValid())
        m_form->setGeometry(target);
}

QRect TSizeRec::NormalRect() const
{
    return m_state == TFormState::mfNormal ? m_form->geometry() : m_normalRect;
}

void TSizeRec::SetMaximumRect(const QRect& rect)
{
    m_maximumRect = rect;
    if (m_state == TFormState::mfMaximize && rect.isValid())
        m_form->setGeometry(m_maximumRect);
}

bool TSizeRec::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_form || (event->type() != QEvent::Move && event->type() != QEvent::Resize))
        return QObject::eventFilter(watched, event);
    if (m_state == TFormState::mfMaximize && m_maximumRect.isValid() &&
        m_form->geometry() != m_maximumRect)
        m_form->setGeometry(m_maximumRect);
    return QObject::eventFilter(watched, event);
}

// TTitleLabel

namespace {
constexpr int kTitleFlags = Qt::AlignVCenter | Qt::TextSingleLine;
}

TTitleLabel::TTitleLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(false);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TTitleLabel::SetShadowColor(const QColor& color)
{
    m_shadowColor = color;
    update();
}

void TTitleLabel::SetShadowOffsetX(int pixels)
{
    m_shadowX = pixels;
    update();
}

void TTitleLabel::SetShadowOffsetY(int pixels)
{
    m_shadowY = pixels;
    update();
}

QString TTitleLabel::ShownText() const
{
    return ShortenText(text(), fontMetrics(), contentsRect().width(), TEllipsisKind::Word);
}

QSize TTitleLabel::minimumSizeHint() const
{
    // The title shortens itself, so it must not hold the title bar wide.
    return QSize(0, fontMetrics().height());
}

void TTitleLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    const QRect area = contentsRect();
    const int flags = int(alignment() & Qt::AlignHorizontal_Mask) | kTitleFlags;
    const QString shown = ShownText();
    if (m_shadowColor.isValid()) {
        painter.setPen(m_shadowColor);
        painter.drawText(area.translated(m_shadowX, m_shadowY), flags, shown);
    }
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, flags, shown);
}

// TBorderdPanel

TBorderdPanel::TBorderdPanel(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    m_borderColor = palette().color(QPalette::Shadow);
    bevelsChanged();
}

void TBorderdPanel::SetBorderColor(const QColor& color)
{
    m_borderColor = color;
    update();
}

void TBorderdPanel::SetBevelOuter(TBevelKind kind)
{
    m_outer = kind;
    bevelsChanged();
}

void TBorderdPanel::SetBevelInner(TBevelKind kind)
{
    m_inner = kind;
    bevelsChanged();
}

void TBorderdPanel::SetBevelWidth(int pixels)
{
    m_bevelWidth = std::max(1, pixels);
    bevelsChanged();
}

int TBorderdPanel::BevelSpace() const
{
    return (m_outer != TBevelKind::None ? m_bevelWidth : 0) +
           (m_inner != TBevelKind::None ? m_bevelWidth : 0);
}

void TBorderdPanel::bevelsChanged()
{
    const int space = BevelSpace();
    setContentsMargins(space, space, space, space);
    update();
}

void TBorderdPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    QRect ring = rect();
    for (TBevelKind kind : {m_outer, m_inner}) {
        switch (kind) {
        case TBevelKind::None: break;
        case TBevelKind::Lowered: drawBevel(painter, ring, m_bevelWidth, shadow, highlight); break;
        case TBevelKind::Raised: drawBevel(painter, ring, m_bevelWidth, highlight, shadow); break;
        case TBevelKind::Space:
            drawBevel(painter, ring, m_bevelWidth, m_borderColor, m_borderColor);
            break;
        }
    }
}

// THoverdImage, THoverdPanel

THoverdImage::THoverdImage(QWidget* parent) : QLabel(parent) {}

void THoverdImage::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    emit mouseEntered();
}

void THoverdImage::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    emit mouseLeft();
}

THoverdPanel::THoverdPanel(QWidget* parent) : QFrame(parent) {}

void THoverdPanel::enterEvent(QEnterEvent* event)
{
    QFrame::enterEvent(event);
    emit mouseEntered();
}

void THoverdPanel::leaveEvent(QEvent* event)
{
    QFrame::leaveEvent(event);
    emit mouseLeft();
}

// TNoCaptiondSpeedBtn

TNoCaptiondSpeedBtn::TNoCaptiondSpeedBtn(QWidget* parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(kSize, kSize);
    setIconSize(QSize(12, 12));
}

void TNoCaptiondSpeedBtn::setDefaultAction(QAction* action)
{
    QToolButton::setDefaultAction(action);
    dropCaption();
}

void TNoCaptiondSpeedBtn::dropCaption()
{
    if (!text().isEmpty())
        setText(QString());
    if (QAction* action = defaultAction())
        setStatusTip(action->statusTip());
}

void TNoCaptiondSpeedBtn::actionEvent(QActionEvent* event)
{
    // QToolButton copies the action's caption again whenever the action changes.
    QToolButton::actionEvent(event);
    if (event->type() == QEvent::ActionChanged && event->action() == defaultAction())
        dropCaption();
}

void TNoCaptiondSpeedBtn::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool sunken = isDown() || isChecked();
    const bool hot = isEnabled() && underMouse();
    QRect frame = rect();
    if (sunken)
        drawBevel(painter, frame, 1, palette().color(QPalette::Dark), palette().color(QPalette::Light));
    else if (hot)
        drawBevel(painter, frame, 1, palette().color(QPalette::Light), palette().color(QPalette::Dark));

    const QIcon::Mode mode = !isEnabled() ? QIcon::Disabled : hot ? QIcon::Active : QIcon::Normal;
    const qreal ratio = devicePixelRatioF();
    const QPixmap picture = icon().pixmap(iconSize(), ratio, mode, isChecked() ? QIcon::On : QIcon::Off);
    if (picture.isNull())
        return;
    const QSize size = (QSizeF(picture.size()) / picture.devicePixelRatio()).toSize();
    QPoint at((width() - size.width()) / 2, (height() - size.height()) / 2);
    if (sunken)
        at += QPoint(1, 1);
    painter.drawPixmap(at, picture);
}

}  // namespace kavio::qt
