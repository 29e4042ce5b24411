#pragma once

#include <string>
#include <string_view>

// The API's line protocol: fixed lines, admission by address, the text conversions that keep
// CR LF free for framing, and the splitting of a request line.
namespace kavio {

inline constexpr std::string_view kApiLineEnd = "\r\n";
inline constexpr std::string_view kApiProductName = "Kavio 1.32";
inline constexpr std::string_view kApiMakerAddress = "https://kavio.example.org/";

inline constexpr std::string_view kApiBlockedLine = "Connection was blocked with application.";
inline constexpr std::string_view kApiNotFoundLine = "Function NotFound";
// Sent instead of a reply when a function raised an error, so that every request still gets
// exactly one reply line.
inline constexpr std::string_view kApiFailedLine = "Function Failed";
inline constexpr std::string_view kApiSuccess = "Successed";

// The lines sent on accepting and on ending a connection (without CR LF).
std::string ApiGreetingLine();
std::string ApiGoodbyeLine();

// Which remote addresses may use the API besides "127.0.0.1".
struct ApiAccess {
    bool AcceptOther = false;
    std::string LeaveIPAddress = "192.168.*.*";
    bool operator==(const ApiAccess&) const = default;
};

// `address` is the peer's IPv4 address as dotted text. "127.0.0.1" is always admitted; any
// other address only with AcceptOther and a case-sensitive wildcard match of LeaveIPAddress.
bool AdmitClient(const std::string& address, const ApiAccess& access);

// Every CR LF becomes CR, then every remaining LF becomes CR: a text fits in one reply line.
std::string ToWireText(std::string_view text);
// Every CR becomes CR LF.
std::string FromWireText(std::string_view text);

struct ApiRequest {
    std::string name;
    std::string argument;
};

// Name before the first space, argument after it (further spaces belong to the argument);
// without a space the whole line is the name.
ApiRequest ParseRequestLine(std::string line);

// Reads an integer as the selection functions do: leading blanks, an optional sign, decimal
// digits and nothing else; anything else (overflow of 32 bits included) reads as 0.
long ReadApiInteger(std::string_view text);

}  // namespace kavio
