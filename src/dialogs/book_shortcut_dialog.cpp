#include "dialogs/book_shortcut_dialog.h"

#include "config/app_settings.h"
#include "dialogs/shortcut_edit.h"
#include "qt/key_codes.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavio::qt {

bool ShortCutClashes(TShortCut shortcut, const QList<QAction*>& commands)
{
    if (shortcut == 0)
        return false;
    for (const QAction* command : commands) {
        if (!command)
            continue;
        for (const QKeySequence& sequence : command->shortcuts())
            if (sequence.count() == 1 && ShortCutFromCombination(sequence[0]) == shortcut)
                return true;
    }
    return false;
}

TKavioBookShortCutDlg::TKavioBookShortCutDlg(TShortCut shortcut, QList<QAction*> commands,
                                             const TAppSettings& settings, QWidget* owner)
    : TKavioDialogBase(owner, TaskBarButtonFor(settings)),
      m_commands(std::move(commands)),
      m_hotkeyEditor(new TShortCutEdit(this)),
      m_warnLabel(new QLabel(QStringLiteral("定義済みアクションと重複しています。"), this))
{
    setWindowTitle(QStringLiteral("ブックのショートカット"));
    SetAlphaValue(settings.AlphaValueSubForm);

    m_hotkeyEditor->setObjectName(QStringLiteral("HotkeyEditor"));
    m_warnLabel->setObjectName(QStringLiteral("WarnLabel"));
    QFont bold = m_warnLabel->font();
    bold.setBold(true);
    m_warnLabel->setFont(bold);
    m_warnLabel->setStyleSheet(QStringLiteral("color: red;"));
    // The warning's room stays reserved, so the dialog does not jump when it shows.
    QSizePolicy keep = m_warnLabel->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_warnLabel->setSizePolicy(keep);

    auto* label = new QLabel(QStringLiteral("ショートカットキーを入力してください。"), this);
    QDialogButtonBox* buttons = OkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_hotkeyEditor);
    layout->addWidget(m_warnLabel);
    layout->addWidget(buttons);

    connect(m_hotkeyEditor, &TShortCutEdit::shortCutChanged, this, [this] { updateWarning(); });
    m_hotkeyEditor->SetShortCut(shortcut);
    updateWarning();
    m_hotkeyEditor->setFocus();
}

TShortCut TKavioBookShortCutDlg::ShortCut() const
{
    return m_hotkeyEditor->ShortCut();
}

void TKavioBookShortCutDlg::SetShortCut(TShortCut shortcut)
{
    m_hotkeyEditor->SetShortCut(shortcut);
}

void TKavioBookShortCutDlg::updateWarning()
{
    m_warnLabel->setVisible(ShortCutClashes(m_hotkeyEditor->ShortCut(), m_commands));
}

}  // namespace kavio::qt
