#pragma once

#include <cstdint>
#include <string>

namespace kavio {

// What a page list or book list keeps of one page or book.
class TPBDataBase {
public:
    virtual ~TPBDataBase() = default;

    // The stored name: a bare file name when the file lies in its reference folder, else a full path.
    std::string FileName;
    std::string Title;
};

// A page of the open book. Records hold no text: the page file is read when the page is shown.
class TPageData : public TPBDataBase {
public:
    // 1 highest .. 5 lowest, 3 normal. A value read from a file keeps its low 8 bits, unchecked.
    uint8_t Priority = 0;
};

}  // namespace kavio
