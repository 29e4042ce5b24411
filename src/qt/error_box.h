#pragma once

#include <QString>

class QWidget;

namespace kavio::qt {

// The modal error box ("エラー") through which every failure a user should see is shown.
void ShowErrorBox(const QString& message, QWidget* parent = nullptr);

}  // namespace kavio::qt
