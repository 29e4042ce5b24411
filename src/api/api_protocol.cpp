#include "api/api_protocol.h"

#include "base/split_token.h"
#include "base/wildcard.h"

#include <charconv>
#include <cstdint>

namespace kavio {

std::string ApiGreetingLine()
{
    return "Hello. This is \"" + std::string(kApiProductName) + "\" server...";
}

std::string ApiGoodbyeLine()
{
    return "Bye bye at \"" + std::string(kApiProductName) + "\". " + std::string(kApiMakerAddress);
}

bool AdmitClient(const std::string& address, const ApiAccess& access)
{
    if (address == "127.0.0.1")
        return true;
    if (!access.AcceptOther)
        return false;
    return WildcardMatch(address, access.LeaveIPAddress, WildcardCase::Sensitive);
}

std::string ToWireText(std::string_view text)
{
    std::string wire;
    wire.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            wire += '\r';
            ++i;
        } else if (c == '\n') {
            wire += '\r';
        } else {
            wire += c;
        }
    }
    return wire;
}

std::string FromWireText(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        result += c;
        if (c == '\r')
            result += '\n';
    }
    return result;
}

ApiRequest ParseRequestLine(std::string line)
{
    ApiRequest request;
    request.name = SplitToken(line, ' ');
    request.argument = std::move(line);
    return request;
}

long ReadApiInteger(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    text.remove_prefix(i);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return 0;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return 0;
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return 0;
    return static_cast<long>(value);
}

}  // namespace kavio
