#include "Strlib.h"

#include <gtest/gtest.h>

TEST(Strlib, LeftAndRightStr)
{
    EXPECT_EQ(LeftStr("abcdef", 2), "ab");
    EXPECT_EQ(LeftStr("abc", 3), "abc");
    EXPECT_EQ(LeftStr("abc", 99), "abc");
    EXPECT_EQ(LeftStr("abc", 0), "");
    EXPECT_EQ(LeftStr("abc", -1), "");
    EXPECT_EQ(RightStr("abcdef", 2), "ef");
    EXPECT_EQ(RightStr("abc", 99), "abc");
    EXPECT_EQ(RightStr("abc", 0), "");
    EXPECT_EQ(RightStr("abc", -5), "");
    EXPECT_EQ(LeftStr(std::string("a\0b", 3), 2), std::string("a\0", 2));
}

TEST(Strlib, TrimSetStripsBothEndsOnly)
{
    const TCharSet Blanks = MakeCharSet(" \t");
    EXPECT_EQ(TrimSet("  a b\t", Blanks), "a b");
    EXPECT_EQ(TrimSet("a  b", Blanks), "a  b");
    EXPECT_EQ(TrimSet(" \t ", Blanks), "");
    EXPECT_EQ(TrimSet("", Blanks), "");
    EXPECT_EQ(TrimSet("\nx\n", Blanks), "\nx\n");
}

TEST(Strlib, BytesAreCharacters)
{
    using namespace std::string_literals;
    EXPECT_EQ(RightStr("a\0b"s, 2), "\0b"s);
    EXPECT_EQ(LeftStr("abc", INT64_MAX), "abc");
    EXPECT_EQ(RightStr("abc", INT64_MAX), "abc");
    EXPECT_EQ(RightStr("abc", 3), "abc");
    // NUL and bytes above 127 are set members like any other byte.
    const TCharSet Odd = MakeCharSet("\0\xB7\xFF"s);
    EXPECT_EQ(TrimSet("\0\xFFx\0y\xB7"s, Odd), "x\0y"s);
    EXPECT_EQ(TrimSet("\xB7\xB7"s, Odd), "");
    EXPECT_EQ(TrimSet("\xFEx\xFE"s, Odd), "\xFEx\xFE"s);
}
