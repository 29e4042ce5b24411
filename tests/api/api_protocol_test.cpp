#include "api/api_connection.h"
#include "api/api_protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kavio {
namespace {

TEST(ApiProtocol, FixedLines)
{
    EXPECT_EQ(ApiGreetingLine(), "Hello. This is \"Kavio 1.32\" server...");
    EXPECT_EQ(ApiGoodbyeLine(), "Bye bye at \"Kavio 1.32\". " + std::string(kApiMakerAddress));
}

// Catches a local address other than 127.0.0.1 being trusted, and "*" not matching dots.
TEST(ApiProtocol, Admission)
{
    struct Case {
        const char* address;
        bool acceptOther;
        const char* pattern;
        bool admitted;
    };
    const Case cases[] = {
        {"127.0.0.1", false, "", true},
        {"127.0.0.2", false, "*", false},
        {"192.168.0.5", false, "192.168.*.*", false},
        {"192.168.0.5", true, "192.168.*.*", true},
        {"10.0.0.5", true, "192.168.*.*", false},
        {"192.168.1.20", true, "192.168.*", true},
        {"192.168.1.20", true, "192.168.1.2?", true},
        {"192.168.1.2", true, "192.168.1.2?", false},
        {"127.0.0.2", true, "127.0.0.2", true},
        {"10.0.0.5", true, "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AdmitClient(c.address, ApiAccess{c.acceptOther, c.pattern}), c.admitted)
            << c.address << " against " << c.pattern << " (other " << c.acceptOther << ")";
    }
}

TEST(ApiProtocol, WireText)
{
    struct Case {
        std::string text;
        std::string wire;
    };
    const Case toWire[] = {
        {"A\r\nB", "A\rB"},
        {"A\r\nB\r\n", "A\rB\r"},
        {"A\nB\rC", "A\rB\rC"},
        {"\r\n\n", "\r\r"},
        {"\x83\x5c\r\n", "\x83\x5c\r"},
    };
    for (const Case& c : toWire)
        EXPECT_EQ(ToWireText(c.text), c.wire) << c.text;

    EXPECT_EQ(FromWireText("A\rB\r"), "A\r\nB\r\n");
    EXPECT_EQ(FromWireText(""), "");
    EXPECT_EQ(FromWireText(ToWireText("x\r\ny\r\n")), "x\r\ny\r\n");
}

TEST(ApiProtocol, RequestLineSplitsAtFirstSpaceOnly)
{
    struct Case {
        std::string line, name, argument;
    };
    const Case cases[] = {
        {"Noop", "Noop", ""},
        {"Echo x", "Echo", "x"},
        {"Echo  x", "Echo", " x"},
        {"SetText a b ", "SetText", "a b "},
        {" x", "", "x"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const ApiRequest request = ParseRequestLine(c.line);
        EXPECT_EQ(request.name, c.name) << c.line;
        EXPECT_EQ(request.argument, c.argument) << c.line;
    }
}

TEST(ApiProtocol, IntegerReading)
{
    struct Case {
        const char* text;
        long value;
    };
    const Case cases[] = {
        {"12", 12},     {"  7", 7},      {"-3", -3},          {"+4", 4},
        {"abc", 0},     {"", 0},         {"12abc", 0},        {"1 ", 0},
        {"+-5", 0},     {"-", 0},        {"2147483647", 2147483647},
        {"2147483648", 0}, {"99999999999999999999", 0}, {"0x10", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadApiInteger(c.text), c.value) << '"' << c.text << '"';
}

std::vector<std::string> TakeAll(TApiConnection& connection)
{
    std::vector<std::string> lines;
    while (connection.HasRequest())
        lines.push_back(connection.TakeRequest());
    return lines;
}

// Catches execution of a batch before everything received ends with CR LF.
TEST(ApiConnection, RunsOnlyWhenAllReceivedEndsWithCrLf)
{
    using Lines = std::vector<std::string>;
    TApiConnection connection;
    connection.Receive("Noop");
    EXPECT_FALSE(connection.HasRequest());
    connection.Receive("\r\n");
    EXPECT_EQ(TakeAll(connection), Lines{"Noop"});

    connection.Receive("Noop\r\nEcho a");
    EXPECT_FALSE(connection.HasRequest());
    connection.Receive("\r");
    EXPECT_FALSE(connection.HasRequest());
    connection.Receive("\nGetText\r\n");
    EXPECT_EQ(TakeAll(connection), (Lines{"Noop", "Echo a", "GetText"}));

    // Lines arriving while earlier ones wait queue behind them.
    connection.Receive("a\r\n\r\n");
    connection.Receive("b\r\n");
    EXPECT_EQ(TakeAll(connection), (Lines{"a", "", "b"}));
    EXPECT_EQ(connection.HeldBytes(), 0u);
}

// A stray lead byte before CR LF must not swallow the line end, or the client waits for a
// reply that never comes. "ソ" (83 5C) keeps its second byte.
TEST(ApiConnection, LineEndsAfterDoubleByteText)
{
    TApiConnection connection;
    connection.Receive("Echo \x83\x5c\r\nEcho \x83\r\nNoop\r\n");
    EXPECT_EQ(TakeAll(connection),
              (std::vector<std::string>{"Echo \x83\x5c", "Echo \x83", "Noop"}));
}

// Catches unbounded growth: the limit covers the incomplete batch and the waiting lines.
TEST(ApiConnection, LimitCoversBufferAndQueue)
{
    TApiConnection connection(16);
    EXPECT_EQ(connection.Receive("0123456\r\n"), TApiConnection::ReceiveResult::Ok);  // 9 queued
    EXPECT_EQ(connection.Receive("abcde"), TApiConnection::ReceiveResult::Ok);       // 14 held
    EXPECT_EQ(connection.Receive("fgh"), TApiConnection::ReceiveResult::Overflow);
    EXPECT_FALSE(connection.HasRequest());
    EXPECT_EQ(connection.HeldBytes(), 0u);

    TApiConnection exact(16);
    EXPECT_EQ(exact.Receive(std::string(14, 'x') + "\r\n"), TApiConnection::ReceiveResult::Ok);
    EXPECT_EQ(exact.TakeRequest(), std::string(14, 'x'));
    EXPECT_EQ(exact.Receive(std::string(16, 'y')), TApiConnection::ReceiveResult::Ok);
}

}  // namespace
}  // namespace kavio
