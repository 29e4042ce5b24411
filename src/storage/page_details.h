#pragma once

#include "storage/details.h"

namespace kavio {

inline constexpr std::string_view kPageMarker = "; Kavio Page File";

// A page file: header keys Title, Priority and RowMarks, clip-file colon lines, the text as body.
// A file whose header never ends is refused with EFileFormatError and left fkMissing, so the
// image can never rewrite that file from nothing.
class TPageDetails : public TPBDetailsBase {
public:
    // Loads `path`; an empty path gives a new, empty, headed image.
    explicit TPageDetails(const std::string& path = {});

    // One entry line=mark per marked body line (0-based line index).
    Lines RowMarks;

    void LoadFromFile(const std::string& path) override;
    void SaveToFile(const std::string& path) override;
    std::string_view Marker() const override { return kPageMarker; }

    // The mark stored for body line `line`, or 0.
    int GetRowMark(int line) const;
    // Sets the mark of `line`, appending an entry when it has none.
    void SetRowMark(int line, int mark);

protected:
    void Clear() override;
};

}  // namespace kavio
