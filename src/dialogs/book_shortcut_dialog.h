#pragma once

#include "base/shortcut_text.h"
#include "dialogs/dialog_base.h"

#include <QList>

class QAction;
class QLabel;

namespace kavio::qt {

class TShortCutEdit;

// Asks for a book's shortcut key. A key that one of the given commands already uses is
// flagged by a warning, which does not keep the user from taking it.
class TKavioBookShortCutDlg : public TKavioDialogBase {
    Q_OBJECT
public:
    // `commands` are the main window's commands whose shortcuts a clash is looked for in.
    TKavioBookShortCutDlg(TShortCut shortcut, QList<QAction*> commands,
                          const TAppSettings& settings, QWidget* owner = nullptr);

    TShortCut ShortCut() const;
    void SetShortCut(TShortCut shortcut);

    TShortCutEdit* HotkeyEditor() const { return m_hotkeyEditor; }
    QLabel* WarnLabel() const { return m_warnLabel; }

private:
    void updateWarning();

    QList<QAction*> m_commands;
    TShortCutEdit* m_hotkeyEditor;
    QLabel* m_warnLabel;
};

// Whether any of the commands has `shortcut` among its single-key shortcuts; never for 0.
bool ShortCutClashes(TShortCut shortcut, const QList<QAction*>& commands);

}  // namespace kavio::qt
