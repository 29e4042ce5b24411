#include "dialogs/shortcut_edit.h"

#include "qt/key_codes.h"
#include "qt/text_codec.h"

#include <QKeyEvent>

namespace kavio::qt {
namespace {

constexpr Qt::KeyboardModifiers kShortCutModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

bool KeepsDialogWork(const QKeyEvent& event)
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

}  // namespace

TShortCutEdit::TShortCutEdit(QWidget* parent) : QLineEdit(parent)
{
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    SetShortCut(0);
}

void TShortCutEdit::SetShortCut(TShortCut shortcut)
{
    const bool changed = shortcut != m_shortcut;
    m_shortcut = shortcut;
    setText(shortcut ? FromCp(ShortCutToText(shortcut)) : QStringLiteral("なし"));
    if (changed)
        emit shortCutChanged(shortcut);
}

// Shortcut overrides would take keys such as Ctrl+N away to the window's actions first.
bool TShortCutEdit::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!KeepsDialogWork(*key)) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TShortCutEdit::keyPressEvent(QKeyEvent* event)
{
    if (KeepsDialogWork(*event)) {
        event->ignore();
        return;
    }
    const bool bare = !(event->modifiers() & kShortCutModifiers);
    if (bare && (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)) {
        SetShortCut(0);
        return;
    }
    // A lone modifier is not a shortcut yet: the field waits for the key.
    if (const TShortCut shortcut = ShortCutFromKeyEvent(*event))
        SetShortCut(shortcut);
    event->accept();
}

void TShortCutEdit::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
}

}  // namespace kavio::qt
