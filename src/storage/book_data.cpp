#include "storage/book_data.h"

#include "base/file_system.h"

namespace kavio {

std::string GetBookDirectory(const TBookData& book, const std::string& personalDir)
{
    if (book.Directory.empty())
        return fs::IncludeTrailingDelimiter(personalDir);
    return fs::IncludeTrailingDelimiter(book.Directory);
}

}  // namespace kavio
