#pragma once

#include <cstdint>
#include <string>

namespace kavio {

class ToolContextPort;
struct TToolEntry;

enum class TToolDirective : uint8_t { tdWait, tdRedir, tdLoadPage, tdLoadBook };

// The directives an argument template asked for.
class TToolDirectives {
public:
    void Add(TToolDirective directive) { m_bits |= Bit(directive); }
    bool Contains(TToolDirective directive) const { return (m_bits & Bit(directive)) != 0; }
    bool Empty() const { return m_bits == 0; }
    bool operator==(const TToolDirectives&) const = default;

private:
    static uint8_t Bit(TToolDirective directive) { return uint8_t(1u << static_cast<unsigned>(directive)); }
    uint8_t m_bits = 0;
};

// Expands the macros of an argument template in place and adds the directives it holds.
// Each step works on the result of the one before, so text a macro brings in ("$LINE" in the
// selection, say) is expanded or taken as a directive by the later steps:
//   $PAGE, $BOOK, $TEXT, $SELTOK, $SEL, $LINE, $PORT, then #WAIT, #REDIR, #LOADP, #LOADB
//   (each directive's first occurrence is removed), and the result is trimmed of bytes 0..32.
// Values are inserted verbatim. Searches are case-sensitive and never match at the second byte
// of a double-byte character.
//
// The page and book paths are needed whether or not the template uses them: with no page or
// no book selected this throws EListError before anything is written. "$TEXT" writes the page
// text, byte for byte, to one new "mem*.tmp" file in ProgramDataDir per call; the file stays
// for the tool to read and is deleted at shut-down.
void ExpandToolArguments(std::string& text, TToolDirectives& directives, const ToolContextPort& context);

// How a launch runs, decided by its directives.
enum class TToolRunMode : uint8_t {
    Detached,  // start and go on
    Wait,      // start and wait, processing events, until the tool ends
    Capture,   // run hidden, wait, and insert its standard output into the memo pad
};

// A tool launch ready to start: the program and the expanded arguments.
struct TToolLaunch {
    std::string Program;
    std::string Arguments;
    TToolDirectives Directives;

    std::string CommandLine() const;
    TToolRunMode Mode() const;
    // #REDIR, #LOADP and #LOADB take effect only together with #WAIT.
    bool ReloadPage() const;
    bool ReloadBook() const;
};

// Takes the program and template of a tool entry and expands the template. Throws (nothing
// started, nothing to undo) when the expansion fails.
TToolLaunch PrepareToolLaunch(const TToolEntry& entry, const ToolContextPort& context);

}  // namespace kavio
