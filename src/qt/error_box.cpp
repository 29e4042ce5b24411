#include "qt/error_box.h"

#include <QApplication>
#include <QMessageBox>

namespace kavio::qt {
namespace {

std::function<void(const QString&)>& Hook()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

}  // namespace

void ShowErrorBox(const QString& message, QWidget* parent)
{
    if (Hook()) {
        Hook()(message);
        return;
    }
    QApplication::beep();
    QMessageBox box(QMessageBox::Critical, QStringLiteral("エラー"), message, QMessageBox::Ok, parent);
    box.exec();
}

void SetErrorBoxHook(std::function<void(const QString& message)> hook)
{
    Hook() = std::move(hook);
}

}  // namespace kavio::qt
