#include "storage/details.h"

#include "base/codepage.h"
#include "base/file_system.h"
#include "base/file_head.h"

#include <charconv>

namespace kavio {
namespace {

constexpr std::string_view kEndOfHeader = "[EOH]";

}  // namespace

std::string HeaderNotClosedMessage(const std::string& path)
{
    return "ヘッダーの終わり ([EOH]) がないため、ファイルを読み込めません: " + cp932::ToUtf8(path);
}

int FindKey(const Lines& lines, std::string_view key)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const size_t eq = line.find('=');
        if (eq != std::string::npos && cp932::EqualsIgnoreCase(std::string_view(line).substr(0, eq), key))
            return static_cast<int>(i);
    }
    return -1;
}

std::string GetKeyValue(const Lines& lines, std::string_view key)
{
    const int i = FindKey(lines, key);
    if (i < 0)
        return {};
    const std::string& line = lines[static_cast<size_t>(i)];
    return line.substr(line.find('=') + 1);
}

void SetKeyValue(Lines& lines, std::string_view key, const std::string& value)
{
    const int i = FindKey(lines, key);
    if (value.empty()) {
        if (i >= 0)
            lines.erase(lines.begin() + i);
        return;
    }
    if (i >= 0) {
        std::string& line = lines[static_cast<size_t>(i)];
        line.replace(line.find('=') + 1, std::string::npos, value);
    } else {
        lines.push_back(std::string(key) + "=" + value);
    }
}

long ParseInteger(std::string_view text, long fallback)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return fallback;
    return value;
}

void TPBDetailsBase::LoadFromFile(const std::string& path)
{
    FileName = path;
}

void TPBDetailsBase::Save()
{
    if (!FileName.empty() && fs::FileExists(FileName))
        SaveToFile(FileName);
}

void TPBDetailsBase::ReadHeader(Lines& lines)
{
    size_t end = 0;
    while (end < lines.size() && lines[end] != kEndOfHeader)
        ++end;
    for (size_t i = 0; i < end; ++i) {
        std::string& line = lines[i];
        if (!line.empty() && line[0] == ':')
            ColonLines.push_back(line.substr(1));
        else
            Header.push_back(std::move(line));
    }
    if (end == lines.size()) {
        lines.clear();
        throw EFileFormatError(HeaderNotClosedMessage(FileName));
    }
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(end) + 1);
}

void TPBDetailsBase::Clear()
{
    Header.clear();
    Body.clear();
    ColonLines.clear();
}

void TPBDetailsBase::ReadImage(const std::string& path)
{
    Clear();
    // Until the file has been read completely the image must not be writable.
    Kind = fkMissing;
    FileName = path;
    if (path.empty() || !fs::FileExists(path))
        return;
    Lines lines = ReadLines(path);
    if (lines.empty() || !lines.front().starts_with(Marker())) {
        Kind = fkPlain;
        Body = std::move(lines);
        return;
    }
    try {
        ReadHeader(lines);
    } catch (const EFileFormatError&) {
        Clear();
        throw EFileFormatError(HeaderNotClosedMessage(path));
    }
    Kind = fkHeaded;
    Body = std::move(lines);
}

bool TPBDetailsBase::LoadHeader(const std::string& path)
{
    Clear();
    Kind = fkMissing;
    FileName = path;
    if (path.empty())
        return true;
    TFileHead file(path);
    if (file.Missing())
        return true;
    std::string line;
    if (!file.NextLine(line) || !line.starts_with(Marker())) {
        Kind = fkPlain;
        return true;
    }
    Header.push_back(line);
    while (file.NextLine(line)) {
        if (line == kEndOfHeader) {
            Kind = fkHeaded;
            return true;
        }
        if (!line.empty() && line[0] == ':')
            ColonLines.push_back(line.substr(1));
        else
            Header.push_back(line);
    }
    return false;
}

void TPBDetailsBase::WriteHeaded(const std::string& path, Lines output) const
{
    output.reserve(output.size() + ColonLines.size() + 1 + Body.size());
    for (const std::string& colon : ColonLines)
        output.push_back(":" + colon);
    output.emplace_back(kEndOfHeader);
    output.insert(output.end(), Body.begin(), Body.end());
    WriteLines(path, output);
}

}  // namespace kavio
