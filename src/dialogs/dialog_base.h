#pragma once

#include <QDialog>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>

namespace kavio {
struct TAppSettings;
}

class QDialogButtonBox;

namespace kavio::qt {

// Whether a dialog shows a task-bar button of its own.
//   tbShared  the dialog is a transient child of its owner and shares the owner's button (the
//             usual dialog);
//   tbOwn     the dialog is a top-level window without a transient parent, so the window
//             manager lists it in the task bar. Used while the main window hides its own
//             button, so that an open dialog can still be found there.
enum class TTaskBarButton { tbShared, tbOwn };

// tbOwn exactly when the main window has no task-bar button (ShowTaskBar off).
TTaskBarButton TaskBarButtonFor(const TAppSettings& settings);

// The base of every dialog of the program: a fixed size with neither minimise nor maximise,
// placed centred over the window that owns it, the dialog font "ＭＳ Ｐゴシック" at 12 pixels and
// full opacity unless the dialog sets its own. A dialog is made for one use and destroyed after
// it closes.
class TKavioDialogBase : public QDialog {
    Q_OBJECT
public:
    explicit TKavioDialogBase(QWidget* owner = nullptr,
                              TTaskBarButton button = TTaskBarButton::tbShared);

    // The window it is centred over; it is the Qt parent too unless the dialog has its own
    // task-bar button.
    QWidget* Owner() const { return m_owner; }
    TTaskBarButton TaskBarButton() const { return m_taskBar; }

    // A number the caller gives the dialog to say how it is used (ShowDialog sets it).
    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }

    // 0 (invisible) .. 255 (opaque); values below 1 are taken as 1 so the dialog never vanishes.
    int AlphaValue() const { return m_alpha; }
    void SetAlphaValue(int alpha);

protected:
    // Fixes the size and centres the dialog the first time it is shown.
    void showEvent(QShowEvent* event) override;

private:
    void placeOverOwner();

    QPointer<QWidget> m_owner;
    TTaskBarButton m_taskBar;
    int m_tag = 0;
    int m_alpha = 255;
    bool m_placed = false;
};

// Help topics would open a help file; there is none on this platform, so the topic number is
// shown in a short information box instead.
void ShowHelpContext(int context, QWidget* parent = nullptr);

// The dialogs' button row: OK (the default, accepts), "キャンセル" (rejects) and, with a help
// context of 0 or more, "ヘルプ(&H)" (object name "Help"), which shows that context and closes
// nothing.
QDialogButtonBox* OkCancelButtons(QDialog* dialog, int helpContext = -1);

// Tests stand in for the user: while a hook is set, a modal run shows the dialog without
// blocking, calls the hook with it and takes the hook's return value as the result
// (QDialog::Accepted or Rejected); the dialog is hidden again afterwards. Nested runs (a dialog
// opened from a dialog) reach the hook as well. An empty hook runs dialogs for real again.
using TDialogRunHook = std::function<int(QDialog& dialog)>;
void SetDialogRunHook(TDialogRunHook hook);

// Runs the dialog modally (exec(), or through the hook) and returns its result.
int RunModal(QDialog& dialog);

// A result that counts as the user's assent (OK, Yes).
inline bool IsPositiveResult(int result)
{
    return result == QDialog::Accepted;
}

// The modal runner: makes a TDialog from `args`, sets its Tag, calls `before` (when given) with
// it, runs it modally, calls `after` (when given) only when the result is positive, destroys the
// dialog and returns the result. The dialog is destroyed also when a handler throws.
template <class TDialog, class... TArgs>
int ShowDialog(int tag, const std::function<void(TDialog&)>& after,
               const std::function<void(TDialog&)>& before, TArgs&&... args)
{
    auto dialog = std::make_unique<TDialog>(std::forward<TArgs>(args)...);
    dialog->SetTag(tag);
    if (before)
        before(*dialog);
    const int result = RunModal(*dialog);
    if (after && IsPositiveResult(result))
        after(*dialog);
    return result;
}

}  // namespace kavio::qt
