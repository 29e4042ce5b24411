#include "controls/drop_target.h"

#include "qt/error_box.h"

#include <QAbstractScrollArea>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <exception>

namespace kavio::qt {

namespace {

QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

}  // namespace

TDropDst::TDropDst(QWidget* control, QObject* parent)
    : QObject(parent ? parent : control)
{
    SetControl(control);
}

TDropDst::~TDropDst()
{
    unhook();
}

void TDropDst::SetControl(QWidget* control)
{
    unhook();
    m_control = control;
    hook();
}

void TDropDst::SetAcceptDrop(bool on)
{
    if (on == m_acceptDrop)
        return;
    m_acceptDrop = on;
    if (m_control)
        m_control->setAcceptDrops(on);
}

void TDropDst::hook()
{
    if (!m_control)
        return;
    m_control->setAcceptDrops(m_acceptDrop);
    m_control->installEventFilter(this);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(m_control.data())) {
        m_viewport = area->viewport();
        m_viewport->installEventFilter(this);
    }
}

void TDropDst::unhook()
{
    if (m_viewport)
        m_viewport->removeEventFilter(this);
    if (m_control)
        m_control->removeEventFilter(this);
    m_viewport = nullptr;
    m_control = nullptr;
}

bool TDropDst::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    if (!m_acceptDrop || !m_control || (watched != m_control && watched != m_viewport))
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    if (localFiles(drop->mimeData()).isEmpty())
        return QObject::eventFilter(watched, event);  // not ours: the widget's own drags pass
    if (type == QEvent::Drop) {
        dropped(static_cast<QWidget*>(watched), drop);
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    return true;
}

void TDropDst::dropped(QWidget* receiver, QDropEvent* event)
{
    // The drop counts as taken whatever the handler does, so the source lets go of its data.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    const QStringList files = localFiles(event->mimeData());
    const QPoint point = receiver->mapTo(m_control, event->position().toPoint());
    try {
        if (m_onFileDrop)
            m_onFileDrop(this, files, point.x(), point.y());
        emit fileDrop(this, files, point.x(), point.y());
    } catch (const std::exception& e) {
        report(QString::fromStdString(e.what()));
    } catch (...) {
        report(QStringLiteral("不明なエラーが発生しました。"));
    }
}

void TDropDst::report(const QString& message)
{
    if (m_reportError)
        m_reportError(message);
    else
        ShowErrorBox(message, m_control ? m_control->window() : nullptr);
}

}  // namespace kavio::qt
