#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kavio {

class ApiHost;

// The functions a client calls by name. Each takes the request's argument text and returns the
// reply text (one line without its CR LF). The object holds nothing but the host it works on.
class TKavioAPI {
public:
    explicit TKavioAPI(ApiHost& host) : m_host(host) {}

    using Function = std::string (TKavioAPI::*)(const std::string& argument);
    struct Entry {
        std::string_view name;
        Function function;
    };
    // The published functions, in the order of the function list.
    static std::span<const Entry> Functions();

    // The function called `name`: ASCII case is ignored and only the first 255 bytes count.
    static const Entry* Find(std::string_view name);

    // Runs the function called `name`; nothing when there is none. Errors of the host pass
    // through.
    std::optional<std::string> Call(std::string_view name, const std::string& argument);

    std::string GetAppDir(const std::string& argument);
    std::string GetPersonalDir(const std::string& argument);
    std::string GetText(const std::string& argument);
    std::string SetText(const std::string& argument);
    std::string GetSelText(const std::string& argument);
    std::string SetSelText(const std::string& argument);
    std::string GetHighLight(const std::string& argument);
    std::string SetHighLight(const std::string& argument);
    std::string GetSelToken(const std::string& argument);
    std::string GetSelStart(const std::string& argument);
    std::string SetSelStart(const std::string& argument);
    std::string GetSelLength(const std::string& argument);
    std::string SetSelLength(const std::string& argument);
    std::string GetBookCount(const std::string& argument);
    std::string GetBook(const std::string& argument);
    std::string GetPage(const std::string& argument);
    std::string ReloadBook(const std::string& argument);
    std::string ReloadPage(const std::string& argument);
    std::string Noop(const std::string& argument);
    std::string Echo(const std::string& argument);

private:
    ApiHost& m_host;
};

// Splits one request line, runs it and returns its reply line (without CR LF): the function's
// reply, or "Function NotFound". Errors of the function pass through.
std::string ExecuteRequestLine(ApiHost& host, std::string line);

}  // namespace kavio
