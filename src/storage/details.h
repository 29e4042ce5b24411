#pragma once

#include "base/error.h"
#include "base/line_file.h"

#include <string>
#include <string_view>

namespace kavio {

// What a details image was read from.
enum TFileKind {
    fkHeaded,   // began with the marker line, or a new image; written with its header
    fkPlain,    // an existing file without the marker: all of it is body
    fkMissing,  // no file was found (or its header never ended): nothing is written
};

// A headed file whose header has no "[EOH]" line. The image is then left as fkMissing, so a
// later Save cannot replace the file with a truncated copy.
class EFileFormatError : public EKavioError {
public:
    using EKavioError::EKavioError;
};

// The message of EFileFormatError for the file `path` (code-page bytes).
std::string HeaderNotClosedMessage(const std::string& path);

// Key lookup on header lines and row marks: a line is an entry for `key` when the text before its
// first "=" equals `key` without regard to letter case; the first entry wins.
int FindKey(const Lines& lines, std::string_view key);
// The value of the first entry for `key`, or "".
std::string GetKeyValue(const Lines& lines, std::string_view key);
// Replaces the first entry's value in place, or appends key=value; an empty value removes the
// entry instead.
void SetKeyValue(Lines& lines, std::string_view key, const std::string& value);
// A whole decimal number (optional sign) as a 32-bit integer, or `fallback`.
long ParseInteger(std::string_view text, long fallback);

// The in-memory image of a header-carrying text file: marker line, header lines, "[EOH]", body.
class TPBDetailsBase {
public:
    virtual ~TPBDetailsBase() = default;

    std::string FileName;  // the path last read; "" for a new image
    Lines Header;          // header lines not beginning with ":", the marker line first
    Lines Body;            // the lines after "[EOH]"
    Lines ColonLines;      // header lines that began with ":", without it
    TFileKind Kind = fkHeaded;

    // The base version records the path; each derived reader reads the file, then calls it.
    virtual void LoadFromFile(const std::string& path);
    virtual void SaveToFile(const std::string& path) = 0;
    // SaveToFile(FileName) when that file exists.
    virtual void Save();
    // Moves the header lines off the front of `lines` into Header and ColonLines and drops the
    // "[EOH]" line, leaving the body. Without an "[EOH]" line every line lands in the header and
    // EFileFormatError is thrown.
    virtual void ReadHeader(Lines& lines);

    // Reads only as far as the header: Kind, FileName, Header and ColonLines as LoadFromFile gives
    // them; Body stays empty. Returns false for a headed file without "[EOH]": Header and
    // ColonLines then hold every line and Kind is fkMissing. File errors throw.
    bool LoadHeader(const std::string& path);

    // The marker prefix of the first line ("; Kavio Page File", "; Kavio Book File").
    virtual std::string_view Marker() const = 0;

protected:
    virtual void Clear();
    // Reads `path` as the image: kind, header and body. Throws EFileFormatError (image left empty
    // and fkMissing) for an unterminated header.
    void ReadImage(const std::string& path);
    void WriteHeaded(const std::string& path, Lines output) const;
};

}  // namespace kavio
