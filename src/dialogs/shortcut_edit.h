#pragma once

#include "base/shortcut_text.h"

#include <QLineEdit>

namespace kavio::qt {

// A field that takes one key combination (a key with any of Shift, Ctrl and Alt) by the user
// pressing it, and shows it as text. Backspace or Delete without a modifier clears it.
// Tab, Enter and Esc without a modifier keep their usual work in the dialog.
class TShortCutEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TShortCutEdit(QWidget* parent = nullptr);

    // The stored shortcut value (key code | 0x2000 Shift | 0x4000 Ctrl | 0x8000 Alt), 0 for none.
    TShortCut ShortCut() const { return m_shortcut; }
    void SetShortCut(TShortCut shortcut);

signals:
    void shortCutChanged(kavio::TShortCut shortcut);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    TShortCut m_shortcut = 0;
};

}  // namespace kavio::qt
