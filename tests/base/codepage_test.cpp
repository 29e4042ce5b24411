#include "base/codepage.h"
#include "base/error.h"

#include <gtest/gtest.h>

using namespace kavio;

TEST(CodePage, RoundTripsJapaneseText)
{
    // "保留" and "済" as the page file stores them, and the two characters whose second byte
    // is "\" and "|".
    const std::string bytes = "\x95\xDB\x97\xAF \x8D\xCF \x83\x5C\x83\x7C abc~\\";
    const std::string utf8 = cp932::ToUtf8(bytes);
    EXPECT_EQ(utf8, "保留 済 ソポ abc~\\");
    cp932::EncodeResult back = cp932::FromUtf8(utf8);
    EXPECT_TRUE(back.ok());
    EXPECT_EQ(back.bytes, bytes);
    EXPECT_EQ("名称未設定"_sj, "\x96\xBC\x8F\xCC\x96\xA2\x90\xDD\x92\xE8");
}

TEST(CodePage, UndefinedBytesDecodeToReplacementWithoutLosingTheRest)
{
    // 0xA0 and 0xFD..0xFF are undefined single bytes; 0x81 followed by a space is a broken pair;
    // a lead byte at the very end is truncated.
    EXPECT_EQ(cp932::ToUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(cp932::ToUtf8("\x81 x"), "\xEF\xBF\xBD x");
    EXPECT_EQ(cp932::ToUtf8("ab\x82"), "ab\xEF\xBF\xBD");
    EXPECT_FALSE(cp932::IsValid("ab\x82"));
    EXPECT_TRUE(cp932::IsValid("\x82\xA0"));
}

TEST(CodePage, EncodingReportsWhatDoesNotFit)
{
    cp932::EncodeResult r = cp932::FromUtf8("a😀b€c");
    EXPECT_EQ(r.bytes, "a?b?c");
    ASSERT_EQ(r.unencodable.size(), 2u);
    EXPECT_EQ(r.unencodable[0], U'😀');
    EXPECT_EQ(r.unencodable[1], U'€');
    EXPECT_THROW(cp932::FromUtf8Strict("😀"), EKavioError);
    // Invalid UTF-8 is reported as well, never passed through.
    EXPECT_FALSE(cp932::FromUtf8("a\xC3").ok());
}

TEST(CodePage, LeadBytes)
{
    for (int c = 0; c < 256; ++c) {
        bool expected = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        EXPECT_EQ(cp932::IsLeadByte(static_cast<unsigned char>(c)), expected) << c;
    }
}
