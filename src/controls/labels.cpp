#include "controls/labels.h"

#include "controls/gradient.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace kavio::qt {

namespace {

const QString kEllipsis = QStringLiteral("\u2026");

constexpr int kTextFlags = Qt::TextSingleLine;

// The longest prefix of `text` that fits with the ellipsis after it.
QString cutAtCharacter(const QString& text, const QFontMetrics& metrics, int width)
{
    return metrics.elidedText(text, Qt::ElideRight, width, kTextFlags);
}

QString shortenAtWord(const QString& text, const QFontMetrics& metrics, int width)
{
    const int room = width - metrics.horizontalAdvance(kEllipsis);
    for (int end = text.size() - 1; end > 0; --end) {
        if (!text.at(end).isSpace() || text.at(end - 1).isSpace())
            continue;
        const QString head = text.left(end);
        if (metrics.horizontalAdvance(head) <= room)
            return head + kEllipsis;
    }
    return cutAtCharacter(text, metrics, width);
}

QString shortenPath(const QString& text, const QFontMetrics& metrics, int width)
{
    const int slash = std::max(text.lastIndexOf(u'/'), text.lastIndexOf(u'\\'));
    if (slash <= 0)
        return metrics.elidedText(text, Qt::ElideMiddle, width, kTextFlags);
    const QString tail = text.mid(slash);
    const int room = width - metrics.horizontalAdvance(kEllipsis + tail);
    if (room < 0)
        return metrics.elidedText(text, Qt::ElideMiddle, width, kTextFlags);
    QString head = text.left(slash);
    while (!head.isEmpty() && metrics.horizontalAdvance(head) > room)
        head.chop(1);
    return head + kEllipsis + tail;
}

void drawBevelFrame(QPainter& painter, const QRect& rect, int width, const QColor& topLeft,
               const QColor& bottomRight)
{
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), width), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), width, rect.height()), topLeft);
    painter.fillRect(QRect(rect.left(), rect.bottom() - width + 1, rect.width(), width),
                     bottomRight);
    painter.fillRect(QRect(rect.right() - width + 1, rect.top(), width, rect.height()),
                     bottomRight);
}

}  // namespace

QString ShortenText(const QString& text, const QFontMetrics& metrics, int width,
                    TEllipsisKind kind)
{
    if (kind == TEllipsisKind::None || metrics.horizontalAdvance(text) <= width)
        return text;
    switch (kind) {
    case TEllipsisKind::Word: return shortenAtWord(text, metrics, width);
    case TEllipsisKind::End: return cutAtCharacter(text, metrics, width);
    case TEllipsisKind::Path: return shortenPath(text, metrics, width);
    case TEllipsisKind::None: break;
    }
    return text;
}

// TEllipsisLabel

TEllipsisLabel::TEllipsisLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void TEllipsisLabel::SetEllipsis(TEllipsisKind kind)
{
    m_ellipsis = kind;
    update();
}

QString TEllipsisLabel::ShownText() const
{
    return ShortenText(text(), fontMetrics(), contentsRect().width(), m_ellipsis);
}

QSize TEllipsisLabel::minimumSizeHint() const
{
    // The text shortens itself, so it must not hold the label wide in a layout.
    return QSize(0, QLabel::minimumSizeHint().height());
}

void TEllipsisLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), static_cast<int>(alignment()) | kTextFlags, ShownText());
}

// TBevelLabel

TBevelLabel::TBevelLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    bevelsChanged();
}

void TBevelLabel::SetBevelOuter(TBevelKind kind)
{
    m_outer = kind;
    bevelsChanged();
}

void TBevelLabel::SetBevelInner(TBevelKind kind)
{
    m_inner = kind;
    bevelsChanged();
}

void TBevelLabel::SetBevelWidth(int pixels)
{
    m_bevelWidth = std::max(1, pixels);
    bevelsChanged();
}

void TBevelLabel::SetAutoSize(bool on)
{
    m_autoSize = on;
    bevelsChanged();
}

void TBevelLabel::setText(const QString& text)
{
    // The status labels are set at every idle moment: the same text must not repaint, or the
    // repaint wakes the event loop and the idle handlers run again, for ever.
    if (text == QLabel::text())
        return;
    QLabel::setText(text);
    bevelsChanged();
}

int TBevelLabel::BevelSpace() const
{
    int space = 0;
    for (TBevelKind kind : {m_outer, m_inner}) {
        if (kind == TBevelKind::None)
            continue;
        space += m_bevelWidth;
        if (kind == TBevelKind::Lowered || kind == TBevelKind::Raised)
            space += m_bevelWidth;
    }
    return space;
}

QRect TBevelLabel::TextRect() const
{
    const int b = BevelSpace();
    const Qt::Alignment align = alignment();
    QRect rect = this->rect();
    if (align & Qt::AlignTop)
        rect.setTop(rect.top() + b);
    if (align & Qt::AlignBottom)
        rect.setBottom(rect.bottom() - b);
    if (align & Qt::AlignLeft)
        rect.setLeft(rect.left() + b);
    if (align & Qt::AlignRight)
        rect.setRight(rect.right() - b);
    return rect;
}

QSize TBevelLabel::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int b = BevelSpace();
    return QSize(metrics.horizontalAdvance(text()) + 2 * b, metrics.height() + 2 * b);
}

bool TBevelLabel::event(QEvent* event)
{
    const bool result = QLabel::event(event);
    if (event->type() == QEvent::FontChange)
        bevelsChanged();
    return result;
}

void TBevelLabel::bevelsChanged()
{
    updateGeometry();
    if (m_autoSize)
        resize(sizeHint());
    update();
}

void TBevelLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintBevelsAndText(painter);
}

void TBevelLabel::paintBevelsAndText(QPainter& painter)
{
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    QRect frame = rect();
    for (TBevelKind kind : {m_outer, m_inner}) {
        if (kind == TBevelKind::None)
            continue;
        if (kind == TBevelKind::Lowered || kind == TBevelKind::Raised) {
            const bool lowered = kind == TBevelKind::Lowered;
            drawBevelFrame(painter, frame, m_bevelWidth, lowered ? shadow : highlight,
                      lowered ? highlight : shadow);
            frame.adjust(m_bevelWidth, m_bevelWidth, -m_bevelWidth, -m_bevelWidth);
        }
        frame.adjust(m_bevelWidth, m_bevelWidth, -m_bevelWidth, -m_bevelWidth);
    }
    painter.setPen(palette().color(foregroundRole()));
    painter.setFont(font());
    painter.drawText(TextRect(), static_cast<int>(alignment()) | kTextFlags, text());
}

// TGradientLabel

TGradientLabel::TGradientLabel(QWidget* parent) : TBevelLabel(parent) {}

void TGradientLabel::SetGradientStart(const QColor& color)
{
    m_start = color;
    update();
}

void TGradientLabel::SetGradientFinish(const QColor& color)
{
    m_finish = color;
    update();
}

void TGradientLabel::SetShowRange(int pixels)
{
    m_showRange = std::clamp(pixels, -1, width());
    update();
}

void TGradientLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_showRange != 0) {
        // The gradient always spans the whole width; ShowRange only uncovers part of it.
        const int columns = m_showRange < 0 ? width() : std::min(m_showRange, width());
        painter.save();
        painter.setClipRect(QRect(0, 0, columns, height()));
        GradientFill(painter, rect(), gdHorizontal, 1, {m_start, m_finish});
        painter.restore();
    }
    paintBevelsAndText(painter);
}

// TLinkLabel

TLinkLabel::TLinkLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(Qt::PointingHandCursor);
    SetNormalColor(m_normal);
}

void TLinkLabel::SetNormalColor(const QColor& color)
{
    m_normal = color;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
    update();
}

void TLinkLabel::SetHoverColor(const QColor& color)
{
    m_hover = color;
    update();
}

void TLinkLabel::SetActiveColor(const QColor& color)
{
    m_active = color;
    update();
}

QColor TLinkLabel::CurrentColor() const
{
    switch (m_state) {
    case LinkState::Hover: return m_hover;
    case LinkState::Active: return m_active;
    case LinkState::None: break;
    }
    return m_normal;
}

QUrl TLinkLabel::LinkUrl() const
{
    const QString caption = text().trimmed();
    if (caption.isEmpty())
        return {};
    switch (m_linkType) {
    case TLinkType::Caption: return QUrl::fromUserInput(caption);
    case TLinkType::MailTo: return QUrl(QStringLiteral("mailto:") + caption);
    case TLinkType::HTTP: return QUrl(QStringLiteral("http://") + caption);
    case TLinkType::NoFace: break;
    }
    return {};
}

void TLinkLabel::Click()
{
    setState(LinkState::Active);
    const QUrl url = LinkUrl();
    if (url.isValid()) {
        if (m_opener)
            m_opener(url);
        else
            QDesktopServices::openUrl(url);
    }
    QWidget* form = window();
    if (m_clickOnClose && form != this)
        form->close();
}

void TLinkLabel::setState(LinkState state)
{
    m_state = state;
    update();
}

void TLinkLabel::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    setState(LinkState::Hover);
}

void TLinkLabel::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    setState(LinkState::None);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Click();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void TLinkLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(CurrentColor());
    painter.setFont(font());
    painter.drawText(contentsRect(), static_cast<int>(alignment()) | kTextFlags, text());
    if (m_state == LinkState::Active)
        m_state = LinkState::None;
}

}  // namespace kavio::qt
