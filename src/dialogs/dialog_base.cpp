#include "dialogs/dialog_base.h"

#include "config/app_settings.h"
#include "dialogs/message_boxes.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

namespace kavio::qt {
namespace {

TDialogRunHook& RunHook()
{
    static TDialogRunHook hook;
    return hook;
}

constexpr Qt::WindowFlags kFrameHints = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

}  // namespace

TTaskBarButton TaskBarButtonFor(const TAppSettings& settings)
{
    return settings.ShowTaskBar ? TTaskBarButton::tbShared : TTaskBarButton::tbOwn;
}

// A dialog with a button of its own has no Qt parent: a parent would make it transient for the
// owner, and window managers leave transient dialogs out of the task bar. It is a plain window
// then, made application-modal when run. The owner is still remembered for the placement.
TKavioDialogBase::TKavioDialogBase(QWidget* owner, TTaskBarButton button)
    : QDialog(button == TTaskBarButton::tbShared ? owner : nullptr,
              (button == TTaskBarButton::tbShared ? Qt::Dialog : Qt::Window) | kFrameHints),
      m_owner(owner),
      m_taskBar(button)
{
    if (button == TTaskBarButton::tbOwn)
        setWindowModality(Qt::ApplicationModal);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);
    setSizeGripEnabled(false);
}

void TKavioDialogBase::SetAlphaValue(int alpha)
{
    m_alpha = std::clamp(alpha, 1, 255);
    setWindowOpacity(m_alpha / 255.0);
}

void TKavioDialogBase::showEvent(QShowEvent* event)
{
    if (!m_placed && !event->spontaneous()) {
        m_placed = true;
        adjustSize();
        setFixedSize(size());
        placeOverOwner();
    }
    QDialog::showEvent(event);
}

void TKavioDialogBase::placeOverOwner()
{
    QRect area;
    if (m_owner && m_owner->isVisible())
        area = m_owner->window()->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty())
        return;
    const QSize outer = frameGeometry().size();
    move(area.left() + (area.width() - outer.width()) / 2,
         area.top() + (area.height() - outer.height()) / 2);
}

void ShowHelpContext(int context, QWidget* parent)
{
    ShowInformation(QStringLiteral("ヘルプファイルはありません。(ヘルプ番号 %1)").arg(context), parent);
}

QDialogButtonBox* OkCancelButtons(QDialog* dialog, int helpContext)
{
    auto* buttons = new QDialogButtonBox(dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    if (helpContext >= 0) {
        buttons->addButton(QStringLiteral("ヘルプ(&H)"), QDialogButtonBox::HelpRole)
            ->setObjectName(QStringLiteral("Help"));
        QObject::connect(buttons, &QDialogButtonBox::helpRequested, dialog,
                         [dialog, helpContext] { ShowHelpContext(helpContext, dialog); });
    }
    return buttons;
}

void SetDialogRunHook(TDialogRunHook hook)
{
    RunHook() = std::move(hook);
}

int RunModal(QDialog& dialog)
{
    if (!RunHook())
        return dialog.exec();
    dialog.show();
    const int result = RunHook()(dialog);
    dialog.setResult(result);
    dialog.hide();
    return result;
}

}  // namespace kavio::qt
