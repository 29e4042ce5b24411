#include "tools/tool_entry.h"

#include "base/split_token.h"

namespace kavio {

TToolEntry TToolEntry::FromLine(std::string line)
{
    if (FindSingleByte(line, '\t') == std::string::npos)
        return TToolEntry{line, {}, {}};
    std::string title = SplitToken(line, '\t');
    return FromHint(std::move(line), std::move(title));
}

TToolEntry TToolEntry::FromHint(std::string hint, std::string title)
{
    TToolEntry entry;
    entry.Title = std::move(title);
    if (FindSingleByte(hint, '|') == std::string::npos) {
        entry.Program = hint;
        entry.Arguments = std::move(hint);
        return entry;
    }
    entry.Program = SplitToken(hint, '|');
    entry.Arguments = std::move(hint);
    return entry;
}

std::string TToolEntry::ToLine() const
{
    return Title + '\t' + Hint();
}

std::string TToolEntry::Hint() const
{
    return Program + '|' + Arguments;
}

std::string ToolCommandLine(const std::string& program, const std::string& arguments)
{
    return arguments.empty() ? program : program + ' ' + arguments;
}

}  // namespace kavio
