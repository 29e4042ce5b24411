#include "tools/tool_expansion.h"

#include "base/error.h"
#include "base/file_system.h"
#include "base/split_token.h"
#include "config/file_naming.h"
#include "config/globals.h"
#include "tools/tool_context_port.h"
#include "tools/tool_entry.h"

#include <optional>
#include <string_view>

namespace kavio {

namespace {

// Replaces every occurrence, left to right; text just inserted is not searched again.
void ReplaceAll(std::string& text, std::string_view word, std::string_view value)
{
    size_t pos = FindSingleByte(text, word);
    while (pos != std::string::npos) {
        text.replace(pos, word.size(), value);
        pos = FindSingleByte(text, word, pos + value.size());
    }
}

// Removes the first occurrence of a directive and reports whether there was one.
bool TakeDirective(std::string& text, std::string_view word)
{
    const size_t pos = FindSingleByte(text, word);
    if (pos == std::string::npos)
        return false;
    text.erase(pos, word.size());
    return true;
}

std::string RequireSelection(const std::optional<std::string>& path)
{
    // The lists report "no selection" as index -1, so the report names that index.
    if (!path)
        throw EListError(-1);
    return *path;
}

std::string WriteTextFile(const std::string& text)
{
    const std::string path = MakeRandomFileName(ProgramDataDir, "mem", ".tmp");
    fs::WriteFileAtomic(path, text);
    return path;
}

bool IsTrimmed(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

void Trim(std::string& text)
{
    size_t end = text.size();
    while (end > 0 && IsTrimmed(text[end - 1]))
        --end;
    size_t begin = 0;
    while (begin < end && IsTrimmed(text[begin]))
        ++begin;
    text = text.substr(begin, end - begin);
}

}  // namespace

void ExpandToolArguments(std::string& text, TToolDirectives& directives, const ToolContextPort& context)
{
    const std::string pagePath = RequireSelection(context.SelectedPagePath());
    ReplaceAll(text, "$PAGE", pagePath);
    const std::string bookPath = RequireSelection(context.SelectedBookPath());
    ReplaceAll(text, "$BOOK", bookPath);

    if (FindSingleByte(text, "$TEXT") != std::string::npos)
        ReplaceAll(text, "$TEXT", WriteTextFile(context.PageText()));

    ReplaceAll(text, "$SELTOK", context.TokenAtCaret());
    ReplaceAll(text, "$SEL", context.SelectedText());
    ReplaceAll(text, "$LINE", std::to_string(context.CaretLine()));
    ReplaceAll(text, "$PORT", std::to_string(context.ApiPort()));

    if (TakeDirective(text, "#WAIT"))
        directives.Add(TToolDirective::tdWait);
    if (TakeDirective(text, "#REDIR"))
        directives.Add(TToolDirective::tdRedir);
    if (TakeDirective(text, "#LOADP"))
        directives.Add(TToolDirective::tdLoadPage);
    if (TakeDirective(text, "#LOADB"))
        directives.Add(TToolDirective::tdLoadBook);

    Trim(text);
}

std::string TToolLaunch::CommandLine() const
{
    return ToolCommandLine(Program, Arguments);
}

TToolRunMode TToolLaunch::Mode() const
{
    if (!Directives.Contains(TToolDirective::tdWait))
        return TToolRunMode::Detached;
    return Directives.Contains(TToolDirective::tdRedir) ? TToolRunMode::Capture : TToolRunMode::Wait;
}

bool TToolLaunch::ReloadPage() const
{
    return Directives.Contains(TToolDirective::tdWait) && Directives.Contains(TToolDirective::tdLoadPage);
}

bool TToolLaunch::ReloadBook() const
{
    return Directives.Contains(TToolDirective::tdWait) && Directives.Contains(TToolDirective::tdLoadBook);
}

TToolLaunch PrepareToolLaunch(const TToolEntry& entry, const ToolContextPort& context)
{
    TToolLaunch launch{entry.Program, entry.Arguments, {}};
    ExpandToolArguments(launch.Arguments, launch.Directives, context);
    return launch;
}

}  // namespace kavio
