#pragma once

#include <string>

namespace kavio {

// One tool of the [Tools] section. Its raw line is
//   title TAB program "|" argument-template
// split at the first TAB and the first "|" after it that are single-byte characters.
struct TToolEntry {
    std::string Title;
    std::string Program;    // start of the command line, used verbatim
    std::string Arguments;  // the argument template, expanded at every launch

    // A line without TAB is a caption with nothing to run; a text after the TAB without "|" is
    // both the program and the argument template.
    static TToolEntry FromLine(std::string line);
    // The program and template back from the text after the TAB (the menu item's hint).
    static TToolEntry FromHint(std::string hint, std::string title = {});

    // Title TAB program "|" arguments; the "|" is always written. FromLine(ToLine()) == *this.
    std::string ToLine() const;
    // The text after the TAB: program "|" arguments.
    std::string Hint() const;

    // The title "-" makes the entry a separator line that cannot be chosen.
    bool IsSeparator() const { return Title == "-"; }

    bool operator==(const TToolEntry&) const = default;
};

// The command line of a launch: the program, then one space and the arguments unless they are
// empty. Nothing is quoted or escaped.
std::string ToolCommandLine(const std::string& program, const std::string& arguments);

}  // namespace kavio
