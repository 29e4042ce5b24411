#include "controls/index_list_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace kavio::qt {

TIndexListBox::TIndexListBox(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(),
            qOverload<>(&QWidget::update));
}

void TIndexListBox::SetCount(int count)
{
    count = std::clamp(count, 0, kMaxCount);
    if (count == m_count)
        return;
    m_count = count;
    if (m_itemIndex >= m_count)
        m_itemIndex = m_count - 1;
    updateScrollBar();
    viewport()->update();
}

void TIndexListBox::SetItemIndex(int index)
{
    select(index);
    rememberIndex(m_itemIndex);
}

void TIndexListBox::DeleteString(int index)
{
    if (index < 0 || index >= m_count)
        return;
    --m_count;
    if (m_itemIndex == index)
        m_itemIndex = -1;
    else if (m_itemIndex > index)
        --m_itemIndex;
    updateScrollBar();
    viewport()->update();
    rememberIndex(m_itemIndex);
}

void TIndexListBox::Clear()
{
    m_count = 0;
    m_itemIndex = -1;
    updateScrollBar();
    viewport()->update();
    rememberIndex(-1);
}

void TIndexListBox::ResetIndex()
{
    m_prevItemIndex = -1;
    m_lastItemIndex = -1;
    ChangeIndex();
}

QString TIndexListBox::ItemText(int index) const
{
    if (!m_data || index < 0 || index >= m_count)
        return {};
    return m_data(index);
}

void TIndexListBox::SetDrawItemHandler(DrawItemHandler handler)
{
    m_drawItem = std::move(handler);
    viewport()->update();
}

void TIndexListBox::SetItemHeight(int pixels)
{
    m_itemHeight = std::max(1, pixels);
    updateScrollBar();
    viewport()->update();
}

int TIndexListBox::TopIndex() const
{
    return verticalScrollBar()->value();
}

void TIndexListBox::SetTopIndex(int index)
{
    verticalScrollBar()->setValue(index);
}

int TIndexListBox::ItemAt(const QPoint& viewportPoint) const
{
    if (viewportPoint.y() < 0)
        return -1;
    const int index = TopIndex() + viewportPoint.y() / m_itemHeight;
    return index < m_count ? index : -1;
}

QRect TIndexListBox::ItemRect(int index) const
{
    return QRect(0, (index - TopIndex()) * m_itemHeight, viewport()->width(), m_itemHeight);
}

void TIndexListBox::ChangeIndex()
{
    emit indexChanged(this);
}

void TIndexListBox::Click()
{
    rememberIndex(m_itemIndex);
}

void TIndexListBox::select(int index)
{
    if (index < 0 || index >= m_count)
        index = -1;
    if (index == m_itemIndex)
        return;
    m_itemIndex = index;
    ensureVisible(index);
    viewport()->update();
}

void TIndexListBox::rememberIndex(int index)
{
    const int last = m_lastItemIndex;
    m_lastItemIndex = index;
    if (index == last)
        return;
    m_prevItemIndex = last;
    ChangeIndex();
}

int TIndexListBox::visibleRows() const
{
    return std::max(1, viewport()->height() / m_itemHeight);
}

void TIndexListBox::updateScrollBar()
{
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, m_count - visibleRows()));
    bar->setPageStep(visibleRows());
}

void TIndexListBox::ensureVisible(int index)
{
    if (index < 0)
        return;
    const int top = TopIndex();
    if (index < top)
        SetTopIndex(index);
    else if (index >= top + visibleRows())
        SetTopIndex(index - visibleRows() + 1);
}

void TIndexListBox::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
    const int last = std::min(m_count, TopIndex() + visibleRows() + 1);
    for (int index = TopIndex(); index < last; ++index) {
        const QRect rect = ItemRect(index);
        const bool selected = index == m_itemIndex;
        painter.save();
        painter.setClipRect(rect);
        if (m_drawItem)
            m_drawItem(painter, index, rect, selected);
        else
            paintDefaultItem(painter, index, rect, selected);
        painter.restore();
    }
}

void TIndexListBox::paintDefaultItem(QPainter& painter, int index, const QRect& rect,
                                     bool selected) const
{
    const QPalette& pal = palette();
    painter.fillRect(rect, pal.color(selected ? QPalette::Highlight : QPalette::Base));
    painter.setPen(pal.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect = rect.adjusted(2, 0, 0, 0);
    const QString text =
        painter.fontMetrics().elidedText(ItemText(index), Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

void TIndexListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const int index = ItemAt(event->position().toPoint());
    if (index < 0)
        return;
    m_tracking = true;
    select(index);
}

void TIndexListBox::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_tracking)
        return;
    const QPoint point = event->position().toPoint();
    const int row = TopIndex() + (point.y() < 0 ? -1 : point.y() / m_itemHeight);
    select(std::clamp(row, 0, m_count - 1));
}

void TIndexListBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_tracking)
        return;
    m_tracking = false;
    Click();
}

void TIndexListBox::keyPressEvent(QKeyEvent* event)
{
    if (m_count == 0 || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int current = m_itemIndex;
    int target = current;
    switch (event->key()) {
    case Qt::Key_Up: target = current < 0 ? 0 : current - 1; break;
    case Qt::Key_Down: target = current + 1; break;
    case Qt::Key_Home: target = 0; break;
    case Qt::Key_End: target = m_count - 1; break;
    case Qt::Key_PageUp: target = current < 0 ? 0 : current - (visibleRows() - 1); break;
    case Qt::Key_PageDown: target = std::max(current, 0) + visibleRows() - 1; break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
    target = std::clamp(target, 0, m_count - 1);
    if (target == current)
        return;
    select(target);
    Click();
}

void TIndexListBox::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBar();
    ensureVisible(m_itemIndex);
}

}  // namespace kavio::qt
