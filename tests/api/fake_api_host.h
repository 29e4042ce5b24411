#pragma once

#include "api/api_host.h"

#include <functional>
#include <string>
#include <vector>

namespace kavio::test {

// A memo pad as plain bytes with a selection, and records of what the functions asked for.
class FakeApiHost : public ApiHost {
public:
    std::string appDir = "/opt/kavio";
    std::string personalDir = "/home/u/Kavio/";
    std::string text;
    long selStart = 0;
    long selLength = 0;
    std::string token;
    std::string findString;
    int bookCount = 0;

    int changes = 0;
    int bookReloads = 0;
    int pageReloads = 0;
    std::vector<std::string> shown;
    // Runs inside ShowInformation, as the user would while the box is open.
    std::function<void(const std::string&)> onShow;

    std::string AppDir() const override { return appDir; }
    std::string PersonalDir() const override { return personalDir; }
    std::string Text() const override { return text; }
    void SetText(const std::string& t) override
    {
        text = t;
        selStart = selLength = 0;
    }
    long TextLength() const override { return static_cast<long>(text.size()); }
    std::string SelText() const override { return text.substr(selStart, selLength); }
    void ReplaceSelection(const std::string& t) override
    {
        text.replace(selStart, selLength, t);
        selStart += static_cast<long>(t.size());
        selLength = 0;
    }
    long SelStart() const override { return selStart; }
    long SelLength() const override { return selLength; }
    void SetSelection(long start, long length) override
    {
        selStart = start;
        selLength = length;
    }
    std::string SelToken() const override { return token; }
    std::string FindString() const override { return findString; }
    void SetFindString(const std::string& t) override { findString = t; }
    void MemoPadChange() override { ++changes; }
    int BookCount() const override { return bookCount; }
    void ReloadBook() override { ++bookReloads; }
    void ReloadPage() override { ++pageReloads; }
    void ShowInformation(const std::string& t) override
    {
        shown.push_back(t);
        if (onShow)
            onShow(t);
    }
};

}  // namespace kavio::test
