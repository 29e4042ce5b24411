#include "api/api_protocol.h"
#include "api/kavio_api.h"
#include "api/fake_api_host.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace kavio {
namespace {

using test::FakeApiHost;

std::string Request(FakeApiHost& host, const std::string& line)
{
    return ExecuteRequestLine(host, line);
}

TEST(KavioApi, FunctionListInTableOrder)
{
    const std::vector<std::string> expected = {
        "GetAppDir",   "GetPersonalDir", "GetText",     "SetText",      "GetSelText",
        "SetSelText",  "GetHighLight",   "SetHighLight", "GetSelToken", "GetSelStart",
        "SetSelStart", "GetSelLength",   "SetSelLength", "GetBookCount", "GetBook",
        "GetPage",     "ReloadBook",     "ReloadPage",  "Noop",         "Echo"};
    std::vector<std::string> names;
    for (const TKavioAPI::Entry& entry : TKavioAPI::Functions())
        names.emplace_back(entry.name);
    EXPECT_EQ(names, expected);
}

// Catches a case-sensitive lookup, a lookup of the whole long name, and names matched by prefix.
TEST(KavioApi, NameLookup)
{
    FakeApiHost host;
    struct Case {
        std::string line;
        std::string reply;
    };
    const Case cases[] = {
        {"Noop", "Successed"},
        {"noop", "Successed"},
        {"NOOP x", "Successed"},
        {"Noo", "Function NotFound"},
        {"Noopx", "Function NotFound"},
        {"", "Function NotFound"},
        {" Noop", "Function NotFound"},
        {"Noop" + std::string(251, 'x'), "Function NotFound"},
        {"Ｎｏｏｐ", "Function NotFound"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Request(host, c.line), c.reply) << c.line;

    // Only the first 255 bytes of a name count.
    EXPECT_EQ(TKavioAPI::Find(std::string(255, 'a') + "Noop"), nullptr);
    ASSERT_NE(TKavioAPI::Find("gEtBoOkCoUnT"), nullptr);
    EXPECT_EQ(TKavioAPI::Find("gEtBoOkCoUnT")->name, "GetBookCount");
}

TEST(KavioApi, TextGettersUseWireText)
{
    FakeApiHost host;
    host.text = "A\r\nB";
    host.token = "tok\r\n";
    host.findString = "x\ny";
    host.appDir = "/opt/kavio";
    host.personalDir = "/home/u/Kavio/";

    EXPECT_EQ(Request(host, "GetText"), "A\rB");
    host.text = "A\r\nB\r\n";
    EXPECT_EQ(Request(host, "GetText ignored"), "A\rB\r");
    EXPECT_EQ(Request(host, "GetSelToken"), "tok\r");
    EXPECT_EQ(Request(host, "GetHighLight"), "x\ry");
    EXPECT_EQ(Request(host, "GetAppDir"), "/opt/kavio/");
    EXPECT_EQ(Request(host, "GetPersonalDir"), "/home/u/Kavio/");
}

TEST(KavioApi, SetTextStoresCrLfAndRunsChangeHandler)
{
    FakeApiHost host;
    EXPECT_EQ(Request(host, "SetText A\rB"), "Successed");
    EXPECT_EQ(host.text, "A\r\nB");
    EXPECT_EQ(host.changes, 1);

    // The argument starts after the first space: a second space is text.
    EXPECT_EQ(Request(host, "SetText  x"), "Successed");
    EXPECT_EQ(host.text, " x");
    EXPECT_EQ(Request(host, "SetText"), "Successed");
    EXPECT_EQ(host.text, "");
    EXPECT_EQ(host.changes, 3);
}

TEST(KavioApi, Selection)
{
    FakeApiHost host;
    host.text = "abc\r\ndef";  // 8 bytes

    struct Case {
        const char* line;
        long start, length;
    };
    // Each row applies to the state the previous row left.
    const Case cases[] = {
        {"SetSelStart 2", 2, 0},
        {"SetSelLength 3", 2, 3},
        {"SetSelStart abc", 0, 0},      // not an integer: start of the text
        {"SetSelStart 99", 8, 0},       // beyond the end: end of the text
        {"SetSelStart -4", 0, 0},
        {"SetSelStart  5", 5, 0},       // leading blank
        {"SetSelLength 100", 5, 3},     // stops at the end of the text
        {"SetSelLength 0", 5, 0},
        {"SetSelLength 2", 5, 2},
        {"SetSelLength -1", 5, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Request(host, c.line), "Successed") << c.line;
        EXPECT_EQ(host.selStart, c.start) << c.line;
        EXPECT_EQ(host.selLength, c.length) << c.line;
        EXPECT_EQ(Request(host, "GetSelStart"), std::to_string(c.start)) << c.line;
        EXPECT_EQ(Request(host, "GetSelLength"), std::to_string(c.length)) << c.line;
    }
    EXPECT_EQ(host.changes, 0);
}

TEST(KavioApi, SelectedText)
{
    FakeApiHost host;
    host.text = "ab\r\ncd";
    EXPECT_EQ(Request(host, "GetSelText"), "");

    host.selStart = 1;
    host.selLength = 4;
    EXPECT_EQ(Request(host, "GetSelText"), "b\rc");
    EXPECT_EQ(Request(host, "SetSelText X\rY"), "Successed");
    EXPECT_EQ(host.text, "aX\r\nYd");
    EXPECT_EQ(host.changes, 1);

    // Nothing selected: inserted at the caret.
    host.selStart = 0;
    host.selLength = 0;
    EXPECT_EQ(Request(host, "SetSelText >"), "Successed");
    EXPECT_EQ(host.text, ">aX\r\nYd");
    EXPECT_EQ(host.changes, 2);
}

TEST(KavioApi, HighLightRoundTrip)
{
    FakeApiHost host;
    EXPECT_EQ(Request(host, "SetHighLight one\rtwo"), "Successed");
    EXPECT_EQ(host.findString, "one\r\ntwo");
    EXPECT_EQ(Request(host, "GetHighLight"), "one\rtwo");
    EXPECT_EQ(host.changes, 0);
}

TEST(KavioApi, BooksAndPages)
{
    FakeApiHost host;
    host.bookCount = 3;
    EXPECT_EQ(Request(host, "GetBookCount"), "3");
    // GetBook and GetPage answer an empty line and do nothing else.
    EXPECT_EQ(Request(host, "GetBook"), "");
    EXPECT_EQ(Request(host, "GetPage"), "");
    EXPECT_EQ(host.bookReloads + host.pageReloads + host.changes, 0);

    EXPECT_EQ(Request(host, "ReloadBook"), "Successed");
    EXPECT_EQ(Request(host, "ReloadPage"), "Successed");
    EXPECT_EQ(host.bookReloads, 1);
    EXPECT_EQ(host.pageReloads, 1);
}

TEST(KavioApi, EchoShowsArgumentUnconverted)
{
    FakeApiHost host;
    EXPECT_EQ(Request(host, "Echo"), "Successed");
    EXPECT_EQ(Request(host, "Echo  a\rb"), "Successed");
    EXPECT_EQ(host.shown, (std::vector<std::string>{"", " a\rb"}));
}

// Errors of the host reach the caller; the server turns them into the failure line.
TEST(KavioApi, HostErrorsPassThrough)
{
    FakeApiHost host;
    host.onShow = [](const std::string&) { throw std::runtime_error("box failed"); };
    EXPECT_THROW(Request(host, "Echo x"), std::runtime_error);
}

}  // namespace
}  // namespace kavio
