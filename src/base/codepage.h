#pragma once

#include <string>
#include <string_view>
#include <vector>

// Everything Kavio stores or sends is bytes in code page 932 (the Windows variant of Shift_JIS).
// The core keeps such text in std::string; these routines convert at the edges (to UTF-8 for the
// file system and for widgets).
namespace kavio::cp932 {

// True for a byte that starts a double-byte character (81..9F, E0..FC).
constexpr bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length in bytes of the character that starts at text[i]: 2 for a lead byte followed by
// another byte, otherwise 1.
inline size_t CharLength(std::string_view text, size_t i)
{
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// Code-page bytes to UTF-8. Never fails: a byte sequence the code page does not define becomes
// U+FFFD, so a damaged file still shows everything else it holds.
std::string ToUtf8(std::string_view bytes);

struct EncodeResult {
    std::string bytes;                 // the text in the code page, "?" for each unencodable character
    std::vector<char32_t> unencodable; // the characters that had to be replaced, in order
    bool ok() const { return unencodable.empty(); }
};

// UTF-8 to code-page bytes. Characters the code page cannot hold are reported, not dropped.
// Invalid UTF-8 bytes count as unencodable U+FFFD.
EncodeResult FromUtf8(std::string_view utf8);

// UTF-8 to code-page bytes, or an EKavioError naming the first character that does not fit.
std::string FromUtf8Strict(std::string_view utf8);

// Equal without regard to the case of single-byte letters. The second byte of a double-byte
// character is compared exactly: 83 61 and 83 41 are different characters.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Whether every byte sequence is a defined character of the code page.
bool IsValid(std::string_view bytes);

}  // namespace kavio::cp932

namespace kavio {

// "名称未設定"_sj: a UTF-8 literal of the source as code-page bytes, for the texts that Kavio
// stores in its files. Throws when the literal holds a character the code page cannot.
std::string operator""_sj(const char* text, size_t length);

}  // namespace kavio
