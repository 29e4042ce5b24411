#include "storage/book_details.h"

namespace kavio {

TBookDetails::TBookDetails(const std::string& path)
{
    LoadFromFile(path);
    if (path.empty())
        Kind = fkHeaded;
}

void TBookDetails::LoadFromFile(const std::string& path)
{
    ReadImage(path);
    TPBDetailsBase::LoadFromFile(path);
}

void TBookDetails::SaveToFile(const std::string& path)
{
    if (Kind != fkHeaded)
        return;
    WriteHeaded(path, Header);
}

}  // namespace kavio
