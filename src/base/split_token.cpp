#include "base/split_token.h"

#include "base/codepage.h"

namespace kavio {

size_t FindSingleByte(std::string_view text, char delimiter, size_t from)
{
    for (size_t i = from; i < text.size(); i += cp932::CharLength(text, i))
        if (text[i] == delimiter)
            return i;
    return std::string_view::npos;
}

size_t FindSingleByte(std::string_view text, std::string_view delimiter, size_t from)
{
    if (delimiter.empty())
        return std::string_view::npos;
    for (size_t i = from; i < text.size(); i += cp932::CharLength(text, i))
        if (text.substr(i, delimiter.size()) == delimiter)
            return i;
    return std::string_view::npos;
}

std::string SplitToken(std::string& text, char delimiter)
{
    return SplitTokenStr(text, std::string_view(&delimiter, 1));
}

std::string SplitTokenStr(std::string& text, std::string_view delimiter)
{
    size_t pos = FindSingleByte(text, delimiter);
    if (pos == std::string::npos) {
        std::string all = std::move(text);
        text.clear();
        return all;
    }
    std::string head = text.substr(0, pos);
    text.erase(0, pos + delimiter.size());
    return head;
}

}  // namespace kavio
