#pragma once

#include <string>
#include <string_view>

namespace kavio {

// Returns the part of `text` before the first `delimiter` and leaves the part after it in
// `text`; without a delimiter returns the whole text and leaves `text` empty. A byte equal to
// the delimiter that is the second byte of a double-byte character does not count.
std::string SplitToken(std::string& text, char delimiter);

// The same with a delimiter of several bytes (CR LF for the API's framing).
std::string SplitTokenStr(std::string& text, std::string_view delimiter);

// Position of the first `delimiter` in `text` at or after `from` that is not the second byte of
// a double-byte character, or npos.
size_t FindSingleByte(std::string_view text, char delimiter, size_t from = 0);
size_t FindSingleByte(std::string_view text, std::string_view delimiter, size_t from = 0);

}  // namespace kavio
