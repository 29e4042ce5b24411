#include "dialogs/message_boxes.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace kavio::qt {
namespace {

TMessageHook& Hook()
{
    static TMessageHook hook;
    return hook;
}

struct ButtonSpec {
    TMsgDlgBtn Button;
    const char* Name;  // the object name, so that a box's parts can be found by name
    const char* Caption;
};

// In the order the buttons appear in a box.
constexpr ButtonSpec kButtons[] = {
    {TMsgDlgBtn::mbYes, "Yes", "はい(&Y)"},
    {TMsgDlgBtn::mbNo, "No", "いいえ(&N)"},
    {TMsgDlgBtn::mbOK, "OK", "OK"},
    {TMsgDlgBtn::mbCancel, "Cancel", "キャンセル"},
    {TMsgDlgBtn::mbAbort, "Abort", "中止(&A)"},
    {TMsgDlgBtn::mbRetry, "Retry", "再試行(&R)"},
    {TMsgDlgBtn::mbIgnore, "Ignore", "無視(&I)"},
    {TMsgDlgBtn::mbAll, "All", "すべて(&A)"},
    {TMsgDlgBtn::mbNoToAll, "NoToAll", "すべていいえ(&O)"},
    {TMsgDlgBtn::mbYesToAll, "YesToAll", "すべてはい(&A)"},
};

constexpr TMsgDlgBtn kDefaultOrder[] = {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbOK,
                                        TMsgDlgBtn::mbYesToAll, TMsgDlgBtn::mbAll,
                                        TMsgDlgBtn::mbRetry};
constexpr TMsgDlgBtn kCancelOrder[] = {TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel,
                                       TMsgDlgBtn::mbNoToAll, TMsgDlgBtn::mbAbort,
                                       TMsgDlgBtn::mbIgnore};

bool Contains(const std::vector<TMsgDlgBtn>& buttons, TMsgDlgBtn button)
{
    for (TMsgDlgBtn b : buttons)
        if (b == button)
            return true;
    return false;
}

template <size_t N>
const TMsgDlgBtn* FirstPresent(const TMsgDlgBtn (&order)[N], const std::vector<TMsgDlgBtn>& buttons)
{
    for (const TMsgDlgBtn& b : order)
        if (Contains(buttons, b))
            return &b;
    return nullptr;
}

QMessageBox::Icon IconOf(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return QMessageBox::Warning;
    case TMsgDlgType::mtError: return QMessageBox::Critical;
    case TMsgDlgType::mtInformation: return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation: return QMessageBox::Question;
    case TMsgDlgType::mtCustom: break;
    }
    return QMessageBox::NoIcon;
}

enum class TBeep { bpNone, bpKind };

// Each kind of box is announced by its own system sound on the original desktop. Linux has no
// distinct system sounds for warning, error, information and question, so every kind that
// sounds at all rings the one bell.
void BeepFor(TMsgDlgType type)
{
    if (type != TMsgDlgType::mtCustom)
        QApplication::beep();
}

struct TAnswer {
    TMsgDlgBtn Button;
    bool Checked = false;
};

TAnswer RunBox(const QString& text, TMsgDlgType type, const std::vector<TMsgDlgBtn>& buttons,
               const QString& checkBoxCaption, TBeep beep, QWidget* parent)
{
    const TMsgDlgBtn* defaultButton = FirstPresent(kDefaultOrder, buttons);
    const TMsgDlgBtn* cancelButton = FirstPresent(kCancelOrder, buttons);
    const TMsgDlgBtn first = !buttons.empty() ? buttons.front() : TMsgDlgBtn::mbOK;

    if (Hook()) {
        bool checked = false;
        const bool yes = Hook()({type, text, checkBoxCaption}, checked);
        const TMsgDlgBtn* chosen = yes ? defaultButton : cancelButton;
        return {chosen ? *chosen : first, checked};
    }

    QMessageBox box(IconOf(type), MessageTitle(type), text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);

    // ActionRole for every button keeps them in the table's order whatever the platform's
    // button layout; the box knows Enter and Esc from the default and escape buttons.
    std::vector<std::pair<QAbstractButton*, TMsgDlgBtn>> added;
    for (const ButtonSpec& spec : kButtons) {
        if (!Contains(buttons, spec.Button))
            continue;
        QPushButton* button = box.addButton(QString::fromUtf8(spec.Caption), QMessageBox::ActionRole);
        button->setObjectName(QString::fromLatin1(spec.Name));
        added.emplace_back(button, spec.Button);
        if (defaultButton && spec.Button == *defaultButton)
            box.setDefaultButton(button);
        if (cancelButton && spec.Button == *cancelButton)
            box.setEscapeButton(button);
    }
    // A box with a single button (the information box) closes with Esc and the close button
    // through that button.
    if (!cancelButton && added.size() == 1)
        box.setEscapeButton(added.front().first);

    QCheckBox* checkBox = nullptr;
    if (!checkBoxCaption.isEmpty()) {
        checkBox = new QCheckBox(checkBoxCaption, &box);
        checkBox->setObjectName(QStringLiteral("CheckBox"));
        box.setCheckBox(checkBox);
    }

    if (beep == TBeep::bpKind)
        BeepFor(type);
    box.exec();

    TAnswer answer{cancelButton ? *cancelButton : first};
    for (const auto& [button, kind] : added)
        if (button == box.clickedButton())
            answer.Button = kind;
    answer.Checked = checkBox && checkBox->isChecked();
    return answer;
}

}  // namespace

QString MessageTitle(TMsgDlgType type)
{
    switch (type) {
    case TMsgDlgType::mtWarning: return QStringLiteral("警告");
    case TMsgDlgType::mtError: return QStringLiteral("エラー");
    case TMsgDlgType::mtInformation: return QStringLiteral("情報");
    case TMsgDlgType::mtConfirmation: return QStringLiteral("確認");
    case TMsgDlgType::mtCustom: break;
    }
    return QGuiApplication::applicationDisplayName();
}

TMsgDlgBtn MessageDlg(const QString& text, TMsgDlgType type,
                      const std::vector<TMsgDlgBtn>& buttons, QWidget* parent)
{
    return RunBox(text, type, buttons, QString(), TBeep::bpKind, parent).Button;
}

void ShowInformation(const QString& text, QWidget* parent)
{
    MessageDlg(text, TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK}, parent);
}

bool ConfirmYesNo(const QString& text, QWidget* parent)
{
    return MessageDlg(text, TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo},
                      parent) == TMsgDlgBtn::mbYes;
}

TCheckedAnswer ConfirmWithCheckBox(const QString& text, const QString& checkBoxCaption,
                                   QWidget* parent)
{
    const TAnswer answer = RunBox(text, TMsgDlgType::mtConfirmation,
                                  {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, checkBoxCaption,
                                  TBeep::bpNone, parent);
    return {answer.Button == TMsgDlgBtn::mbYes, answer.Checked};
}

void SetMessageHook(TMessageHook hook)
{
    Hook() = std::move(hook);
}

}  // namespace kavio::qt
