#pragma once

#include "storage/details.h"

namespace kavio {

inline constexpr std::string_view kBookMarker = "; Kavio Book File";

// A book file: header keys Title, Directory, LastIndex and ShortCut; the stored page names as body.
// Only headed images are written; they are always filled fresh, never read first.
class TBookDetails : public TPBDetailsBase {
public:
    // Loads `path`; an empty path gives a new, empty, headed image.
    explicit TBookDetails(const std::string& path = {});

    void LoadFromFile(const std::string& path) override;
    void SaveToFile(const std::string& path) override;
    std::string_view Marker() const override { return kBookMarker; }
};

}  // namespace kavio
