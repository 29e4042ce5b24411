#pragma once

#include "base/codepage.h"
#include "config/file_naming.h"
#include "storage/page_list.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kavio::test {

// Lines as a file holds them: each ends with CR LF.
inline std::string Crlf(std::initializer_list<std::string> lines)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// A file that exists but cannot be read, even by root: reading /proc/self/mem at 0 fails with EIO.
inline void MakeUnreadable(const std::string& path)
{
    std::filesystem::create_symlink("/proc/self/mem", path);
}

// Writes down every event a list raises, by name, in order.
struct EventRecorder {
    std::vector<std::string> events;

    void Attach(TPBBase& list)
    {
        list.OnChange = [this](TPBBase&) { events.push_back("Change"); };
        list.OnChangeCount = [this](TPBBase&) { events.push_back("ChangeCount"); };
    }
    void Attach(TPageList& list)
    {
        Attach(static_cast<TPBBase&>(list));
        list.OnBookChanging = [this](TPageList&) { events.push_back("BookChanging"); };
        list.OnBookChanged = [this](TPageList&) { events.push_back("BookChanged"); };
        list.OnNeedPageIndex = [this](TPageList&, int&) { events.push_back("NeedPageIndex"); };
        list.OnNeedDefaultTitle = [this](TPageList&, std::string&) { events.push_back("NeedDefaultTitle"); };
    }
    std::vector<std::string> Take() { return std::exchange(events, {}); }
};

// New file names count up from 1 in every test: "mem    1.memo", "mem    2.memo", ...
class FixedNames {
public:
    FixedNames()
    {
        SetNameRandomSource([] { return 1u; });
        NameCounter = 1;
    }
    ~FixedNames() { SetNameRandomSource({}); }
};

}  // namespace kavio::test
