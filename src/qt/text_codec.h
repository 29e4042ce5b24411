#pragma once

#include <QString>

#include <string>

// The Qt layer's edge: code-page bytes of the core to QString for widgets, and back.
namespace kavio::qt {

QString FromCp(const std::string& bytes);

// Characters the code page cannot hold become "?"; `lost` (when given) is set when that happened.
std::string ToCp(const QString& text, bool* lost = nullptr);

}  // namespace kavio::qt
