#pragma once

#include "base/shortcut_text.h"
#include "config/globals.h"
#include "storage/page_data.h"

#include <cstdint>
#include <string>

namespace kavio {

// A book of the library.
class TBookData : public TPBDataBase {
public:
    // The book's own folder as it was given, or "" for a book of the personal folder.
    std::string Directory;
    // The page to select when the book is opened; read with the library, not updated by writes.
    int32_t LastIndex = 0;
    TShortCut ShortCut = 0;
};

// The folder where the book's pages are created and bare page names resolve: its Directory with a
// trailing "/", or the personal folder when it has none.
std::string GetBookDirectory(const TBookData& book, const std::string& personalDir = PersonalDir);

}  // namespace kavio
