#include "api/kavio_api.h"

#include "base/codepage.h"

#include "api/api_host.h"
#include "api/api_protocol.h"

#include <algorithm>
#include <array>

namespace kavio {

namespace {

constexpr size_t kMaxNameLength = 255;

constexpr std::array kFunctions = {
    TKavioAPI::Entry{"GetAppDir", &TKavioAPI::GetAppDir},
    TKavioAPI::Entry{"GetPersonalDir", &TKavioAPI::GetPersonalDir},
    TKavioAPI::Entry{"GetText", &TKavioAPI::GetText},
    TKavioAPI::Entry{"SetText", &TKavioAPI::SetText},
    TKavioAPI::Entry{"GetSelText", &TKavioAPI::GetSelText},
    TKavioAPI::Entry{"SetSelText", &TKavioAPI::SetSelText},
    TKavioAPI::Entry{"GetHighLight", &TKavioAPI::GetHighLight},
    TKavioAPI::Entry{"SetHighLight", &TKavioAPI::SetHighLight},
    TKavioAPI::Entry{"GetSelToken", &TKavioAPI::GetSelToken},
    TKavioAPI::Entry{"GetSelStart", &TKavioAPI::GetSelStart},
    TKavioAPI::Entry{"SetSelStart", &TKavioAPI::SetSelStart},
    TKavioAPI::Entry{"GetSelLength", &TKavioAPI::GetSelLength},
    TKavioAPI::Entry{"SetSelLength", &TKavioAPI::SetSelLength},
    TKavioAPI::Entry{"GetBookCount", &TKavioAPI::GetBookCount},
    TKavioAPI::Entry{"GetBook", &TKavioAPI::GetBook},
    TKavioAPI::Entry{"GetPage", &TKavioAPI::GetPage},
    TKavioAPI::Entry{"ReloadBook", &TKavioAPI::ReloadBook},
    TKavioAPI::Entry{"ReloadPage", &TKavioAPI::ReloadPage},
    TKavioAPI::Entry{"Noop", &TKavioAPI::Noop},
    TKavioAPI::Entry{"Echo", &TKavioAPI::Echo},
};

std::string WithTrailingSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

}  // namespace

std::span<const TKavioAPI::Entry> TKavioAPI::Functions()
{
    return kFunctions;
}

const TKavioAPI::Entry* TKavioAPI::Find(std::string_view name)
{
    name = name.substr(0, kMaxNameLength);
    for (const Entry& entry : kFunctions) {
        if (cp932::EqualsIgnoreCase(entry.name, name))
            return &entry;
    }
    return nullptr;
}

std::optional<std::string> TKavioAPI::Call(std::string_view name, const std::string& argument)
{
    const Entry* entry = Find(name);
    if (!entry)
        return std::nullopt;
    return (this->*entry->function)(argument);
}

std::string TKavioAPI::GetAppDir(const std::string&)
{
    return ToWireText(WithTrailingSlash(m_host.AppDir()));
}

std::string TKavioAPI::GetPersonalDir(const std::string&)
{
    return ToWireText(WithTrailingSlash(m_host.PersonalDir()));
}

std::string TKavioAPI::GetText(const std::string&)
{
    return ToWireText(m_host.Text());
}

std::string TKavioAPI::SetText(const std::string& argument)
{
    m_host.SetText(FromWireText(argument));
    m_host.MemoPadChange();
    return std::string(kApiSuccess);
}

std::string TKavioAPI::GetSelText(const std::string&)
{
    return ToWireText(m_host.SelText());
}

std::string TKavioAPI::SetSelText(const std::string& argument)
{
    m_host.ReplaceSelection(FromWireText(argument));
    m_host.MemoPadChange();
    return std::string(kApiSuccess);
}

std::string TKavioAPI::GetHighLight(const std::string&)
{
    return ToWireText(m_host.FindString());
}

std::string TKavioAPI::SetHighLight(const std::string& argument)
{
    m_host.SetFindString(FromWireText(argument));
    return std::string(kApiSuccess);
}

std::string TKavioAPI::GetSelToken(const std::string&)
{
    return ToWireText(m_host.SelToken());
}

std::string TKavioAPI::GetSelStart(const std::string&)
{
    return std::to_string(m_host.SelStart());
}

std::string TKavioAPI::SetSelStart(const std::string& argument)
{
    const long start = std::clamp(ReadApiInteger(argument), 0L, m_host.TextLength());
    m_host.SetSelection(start, 0);
    return std::string(kApiSuccess);
}

std::string TKavioAPI::GetSelLength(const std::string&)
{
    return std::to_string(m_host.SelLength());
}

// A length of 0 or less leaves a caret at the selection start.
std::string TKavioAPI::SetSelLength(const std::string& argument)
{
    const long start = std::clamp(m_host.SelStart(), 0L, m_host.TextLength());
    const long length = std::clamp(ReadApiInteger(argument), 0L, m_host.TextLength() - start);
    m_host.SetSelection(start, length);
    return std::string(kApiSuccess);
}

std::string TKavioAPI::GetBookCount(const std::string&)
{
    return std::to_string(m_host.BookCount());
}

std::string TKavioAPI::GetBook(const std::string&)
{
    return {};
}

std::string TKavioAPI::GetPage(const std::string&)
{
    return {};
}

std::string TKavioAPI::ReloadBook(const std::string&)
{
    m_host.ReloadBook();
    return std::string(kApiSuccess);
}

std::string TKavioAPI::ReloadPage(const std::string&)
{
    m_host.ReloadPage();
    return std::string(kApiSuccess);
}

std::string TKavioAPI::Noop(const std::string&)
{
    return std::string(kApiSuccess);
}

std::string TKavioAPI::Echo(const std::string& argument)
{
    m_host.ShowInformation(argument);
    return std::string(kApiSuccess);
}

std::string ExecuteRequestLine(ApiHost& host, std::string line)
{
    ApiRequest request = ParseRequestLine(std::move(line));
    TKavioAPI api(host);
    return api.Call(request.name, request.argument).value_or(std::string(kApiNotFoundLine));
}

}  // namespace kavio
