#include "base/split_token.h"
#include "base/wildcard.h"
#include "base/wrap_index.h"

#include <gtest/gtest.h>

using namespace kavio;

// A delimiter byte that is the second byte of a double-byte character must not split:
// "ソ" is 83 5C, "ポ" is 83 7C, and 81 3B would be a lead byte followed by ";".
TEST(SplitToken, NeverSplitsAtSecondByte)
{
    struct Case {
        std::string text;
        char delimiter;
        std::string head;
        std::string rest;
    };
    const Case cases[] = {
        {"a\tb\tc", '\t', "a", "b\tc"},
        {"\x83\x7C" "a|b", '|', "\x83\x7C" "a", "b"},
        {"\x83\x5C\\x", '\\', "\x83\x5C", "x"},
        {"\x81\x3B;x", ';', "\x81\x3B", "x"},
        {"no delimiter", '|', "no delimiter", ""},
        {"|lead", '|', "", "lead"},
        {"", '|', "", ""},
        {"\x83", '|', "\x83", ""},  // a lone lead byte at the end
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(SplitToken(text, c.delimiter), c.head) << c.text;
        EXPECT_EQ(text, c.rest) << c.text;
    }
}

TEST(SplitToken, StringDelimiterTakesFirstCrLf)
{
    std::string text = "Echo a\r\nNoop\r\n";
    EXPECT_EQ(SplitTokenStr(text, "\r\n"), "Echo a");
    EXPECT_EQ(SplitTokenStr(text, "\r\n"), "Noop");
    EXPECT_EQ(text, "");
}

TEST(WildcardMatch, WholeTextAgainstWholePattern)
{
    struct Case {
        const char* text;
        const char* pattern;
        bool match;
    };
    const Case cases[] = {
        {"192.168.0.5", "192.168.*", true},
        {"192.168.0.5", "192.168.0.?", true},
        {"192.168.0.50", "192.168.0.?", false},
        {"10.0.0.1", "192.*", false},
        {"abc", "abc", true},
        {"abc", "ab", false},
        {"ab", "abc", false},
        {"", "", true},
        {"", "*", true},
        {"", "?", false},
        {"a", "", false},
        {"aXbYc", "a*b*c", true},
        {"acb", "a*b*c", false},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "*a*a*a*a*a*a*a*a*a*a*a*a*b", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WildcardMatch(c.text, c.pattern), c.match) << c.text << " ~ " << c.pattern;
}

TEST(WildcardMatch, CaseModes)
{
    EXPECT_FALSE(WildcardMatch("Kavio.ini", "*.INI"));
    EXPECT_TRUE(WildcardMatch("Kavio.ini", "*.INI", WildcardCase::Insensitive));
}

TEST(WrapIndex, ClampsOrWraps)
{
    struct Case {
        int value, min, max;
        WrapMode mode;
        int expected;
    };
    const Case cases[] = {
        {5, 0, 4, WrapMode::Clamp, 4},   {-1, 0, 4, WrapMode::Clamp, 0},
        {2, 0, 4, WrapMode::Clamp, 2},   {5, 0, 4, WrapMode::Wrap, 0},
        {-1, 0, 4, WrapMode::Wrap, 4},   {0, 1, 4, WrapMode::Wrap, 4},
        {5, 1, 4, WrapMode::Wrap, 1},    {13, 0, 4, WrapMode::Wrap, 3},
        {7, 3, 3, WrapMode::Wrap, 3},    {7, 3, 1, WrapMode::Clamp, 3},
        {-1, 0, 0, WrapMode::Wrap, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WrapIndex(c.value, c.min, c.max, c.mode), c.expected)
            << c.value << " in " << c.min << ".." << c.max;
}
