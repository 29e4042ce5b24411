#pragma once

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace kavio::qt {

// The message boxes every part of the program asks the user through. Each beeps as its kind
// asks, carries the kind's title and its buttons, and returns the user's answer.

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// "警告", "エラー", "情報", "確認", or the application title for mtCustom.
QString MessageTitle(TMsgDlgType type);

// The information box with an OK button ("情報", information beep).
void ShowInformation(const QString& text, QWidget* parent = nullptr);

// The Yes/No question ("確認", question beep). True exactly when Yes was chosen; Esc and the
// close button answer No.
bool ConfirmYesNo(const QString& text, QWidget* parent = nullptr);

// The Yes/No question with a check box under the text, without a beep.
struct TCheckedAnswer {
    bool Yes = false;
    bool Checked = false;
};
TCheckedAnswer ConfirmWithCheckBox(const QString& text, const QString& checkBoxCaption,
                                   QWidget* parent = nullptr);

// The buttons a message box can carry, in the order they appear, and the general box behind
// the helpers above. The default button (Enter) is the first present of Yes, OK, YesToAll, All,
// Retry; the cancel button (Esc, and the window's close button) is the first present of No,
// Cancel, NoToAll, Abort, Ignore. Returns the button chosen. A box that has no help file to open
// carries no help button.
enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll,
                        mbNoToAll, mbYesToAll };
TMsgDlgBtn MessageDlg(const QString& text, TMsgDlgType type,
                      const std::vector<TMsgDlgBtn>& buttons, QWidget* parent = nullptr);

// Tests answer the boxes instead of a user. While a hook is set, no box is shown: the hook gets
// the kind and the text and returns the answer (Yes/OK = true; the check box state through
// `checked`, which is false unless the hook sets it).
struct TMessageRequest {
    TMsgDlgType Type;
    QString Text;
    QString CheckBoxCaption;  // empty unless a check box is asked for
};
using TMessageHook = std::function<bool(const TMessageRequest& request, bool& checked)>;
// For MessageDlg a true answer picks the default button and false the cancel button (the first
// button of the box when either is missing).
void SetMessageHook(TMessageHook hook);  // an empty hook shows the boxes again

}  // namespace kavio::qt
