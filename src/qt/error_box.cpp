#include "qt/error_box.h"

#include <QMessageBox>

namespace kavio::qt {

void ShowErrorBox(const QString& message, QWidget* parent)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("エラー"), message, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace kavio::qt
