#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace kavio::qt {

// The modal error box ("エラー") through which every failure a user should see is shown.
void ShowErrorBox(const QString& message, QWidget* parent = nullptr);

// Tests take the messages instead of a user: while a hook is set, no box is shown and the hook
// gets each message. An empty hook shows the boxes again.
void SetErrorBoxHook(std::function<void(const QString& message)> hook);

}  // namespace kavio::qt
