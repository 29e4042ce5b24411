#pragma once

#include <string>

namespace kavio {

enum class WildcardCase { Sensitive, Insensitive };

// Whole-text match: "*" takes any run of characters (empty runs and dots included), "?" exactly
// one character, every other character only itself. The insensitive mode lowercases ASCII
// letters of both sides first.
bool WildcardMatch(const std::string& text, const std::string& pattern,
                   WildcardCase mode = WildcardCase::Sensitive);

}  // namespace kavio
