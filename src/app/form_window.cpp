// The window as a window: hiding and showing, staying on top, translucency while inactive, the
// program's own maximised state, the page list's side, and the events the frame answers.

#include "app/kavio_form.h"

#include "controls/command_images.h"
#include "controls/frame_controls.h"
#include "controls/index_list_box.h"
#include "controls/labels.h"
#include "controls/memo_pad.h"
#include "desktop/play_sound.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTimer>

namespace kavio::qt {

bool TKavioForm::IsWindowHidden() const
{
    return isMinimized() || (m_initialized && !isVisible());
}

void TKavioForm::SetWindowHidden(bool hide, bool sound)
{
    if (!m_initialized) {
        // Before the window is first shown this only decides how it starts.
        m_startHidden = hide;
        return;
    }
    if (hide == IsWindowHidden())
        return;
    if (hide) {
        if (sound)
            m_playSound->Play("OnHide");
        if (m_settings.ShowTaskBar)
            showMinimized();
        else
            this->hide();
    } else {
        if (sound)
            m_playSound->Play("OnRestore");
        if (m_settings.ShowTaskBar)
            showNormal();
        else
            show();
        raise();
        activateWindow();
    }
}

// Changing window flags hides a window; one that was shown is shown again.
void TKavioForm::SetTopMost(bool on)
{
    if (testAttribute(Qt::WA_WState_Created) && bool(windowFlags() & Qt::WindowStaysOnTopHint) == on)
        return;
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (shown)
        show();
}

void TKavioForm::SetTranslucent(bool on)
{
    m_translucent = on;
    setWindowOpacity(on ? m_settings.AlphaValue / 255.0 : 1.0);
}

void TKavioForm::ApplyActivation(bool active)
{
    SetTranslucent(!active);
}

void TKavioForm::MaximizewindowExecute()
{
    if (m_sizeRec->FormState() == TFormState::mfNormal) {
        m_playSound->Play("OnMaximize");
        m_sizeRec->SetFormState(TFormState::mfMaximize);
    } else {
        m_playSound->Play("OnRestore");
        m_sizeRec->SetFormState(TFormState::mfNormal);
    }
    Action(QStringLiteral("Maximizewindow"))
        ->setIcon(FormStateImage(m_sizeRec->FormState() == TFormState::mfNormal ? 0 : 1));
}

// 0 hides the page list; 1 and 2 show it on the left or the right, and the side it is already
// on hides it, so F4 toggles the list on the left.
void TKavioForm::SetPageListPosition(int position)
{
    const QList<QAction*> items = m_pageListPosGroup->actions();
    const bool shown = !m_listPanel->isHidden();
    const int side = m_hSplitter->indexOf(m_listPanel) == 0 ? 1 : 2;
    if (position == 0 || (shown && side == position)) {
        m_playSound->Play("OnShowTreeMode");
        m_listPanel->hide();
        items[0]->setChecked(true);
        return;
    }
    const QList<int> sizes = m_hSplitter->sizes();
    m_hSplitter->insertWidget(position == 1 ? 0 : 1, m_listPanel);
    m_listPanel->show();
    if (side != position && sizes.size() == 2)
        m_hSplitter->setSizes({sizes[1], sizes[0]});
    items[position]->setChecked(true);
}

bool TKavioForm::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::StatusTip:
        // The long part of the hint under the mouse; the title label's hint carries the title.
        UpdateHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    case QEvent::Show:
        // The splitter knows its real height only now.
        if (!m_shownOnce) {
            m_shownOnce = true;
            // Before the first layout the list has a height nobody chose: nothing to remember.
            QTimer::singleShot(0, this, [this] {
                UpdateClipListHeight();
                m_clipListLaidOut = true;
            });
        }
        break;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        if (m_initialized)
            ApplyActivation(event->type() == QEvent::WindowActivate);
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TKavioForm::UpdateHint(const QString& hint)
{
    HintLabel->setText(hint.contains(QLatin1Char('|')) ? hint.section(QLatin1Char('|'), 1) : hint);
}

void TKavioForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutTitleBar();
    cPageList->viewport()->update();
    cBookList->viewport()->update();
}

namespace {

QStringList LocalFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
}

}  // namespace

bool TKavioForm::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // Book shortcut keys, before any command shortcut: the shortcut check is answered as taken
    // and the key press that follows is swallowed.
    if ((type == QEvent::ShortcutOverride || type == QEvent::KeyPress) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (type == QEvent::ShortcutOverride) {
            if (m_initialized && FormShortCut(*key)) {
                key->accept();
                m_swallowKey = key->key();
                return true;
            }
        } else if (m_swallowKey != 0 && key->key() == m_swallowKey) {
            m_swallowKey = 0;
            return true;
        }
        return false;
    }
    if (MemoPad && watched == MemoPad->viewport()) {
        if (type == QEvent::DragEnter || type == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!LocalFiles(drag->mimeData()).isEmpty()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (type == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList files = LocalFiles(drop->mimeData());
            if (!files.isEmpty()) {
                drop->acceptProposedAction();
                Safely([this, files] { MemoPadDropFiles(files); });
                return true;
            }
        }
        return false;
    }
    if (watched == PBCaption && type == QEvent::MouseButtonRelease) {
        Action(QStringLiteral("ToggleListState"))->trigger();
        return true;
    }
    if (watched == m_pageSquare && type == QEvent::MouseButtonPress) {
        // The left button on the page square opens the main menu.
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            RunIdle();
            m_popupMenu->popup(QCursor::pos());
        }
        return true;
    }
    if (watched == PageTitle) {
        // The title label lies over the title bar and hands the mouse on to it; the right
        // button and a double click retitle the page.
        if (type == QEvent::MouseButtonDblClick) {
            Action(QStringLiteral("SetTitle"))->trigger();
            return true;
        }
        if (type == QEvent::ContextMenu)
            return true;
        if (type == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            Action(QStringLiteral("SetTitle"))->trigger();
            return true;
        }
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton || mouse->button() == Qt::MiddleButton) {
                if (type == QEvent::MouseButtonPress)
                    m_titleSizeBox->MouseDown(mouse->button(), mouse->globalPosition().toPoint());
                else
                    m_titleSizeBox->MouseUp(mouse->button(), mouse->globalPosition().toPoint());
                return true;
            }
        }
        return false;
    }
    if (watched == m_titleBar && type == QEvent::Paint) {
        PaintTitleBar();
        return true;
    }
    if (watched == m_pageSquare && type == QEvent::Paint) {
        PaintPageSquare();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kavio::qt
