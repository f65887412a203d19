#include <gtest/gtest.h>

#include <memory>

#include "ascii.h"

TEST(AsciiEqualNoCase, FoldsOnlyTheLettersAToZ)
{
    EXPECT_TRUE(AsciiEqualNoCase("C:\\Program Files\\APP.EXE", "c:\\program files\\app.exe"));
    EXPECT_TRUE(AsciiEqualNoCase("", ""));
    EXPECT_FALSE(AsciiEqualNoCase("abc", "abd"));
    // Neighbours of the letter ranges differ by the same 0x20 but are not letters.
    EXPECT_FALSE(AsciiEqualNoCase("@[\\]^_", "`{|}~\x7f"));
    // Accented letters of the ANSI code page are compared byte for byte.
    EXPECT_FALSE(AsciiEqualNoCase("\xC4pp.exe", "\xE4pp.exe"));
    EXPECT_TRUE(AsciiEqualNoCase("\xC4pp.EXE", "\xC4pp.exe"));
}

TEST(AsciiEqualNoCase, NeedsTheWholeOfBothStrings)
{
    EXPECT_FALSE(AsciiEqualNoCase("abc", "abcd"));
    EXPECT_FALSE(AsciiEqualNoCase("abcd", "ABC"));
    EXPECT_FALSE(AsciiEqualNoCase("", "a"));
}

TEST(AsciiStartsWithNoCase, ComparesOverTheLiteralsLength)
{
    EXPECT_TRUE(AsciiStartsWithNoCase("Static", "static"));
    EXPECT_TRUE(AsciiStartsWithNoCase("staticframe", "static"));
    EXPECT_TRUE(AsciiStartsWithNoCase("TSPLASHFORM", "TSplash"));
    EXPECT_TRUE(AsciiStartsWithNoCase("anything", ""));
    EXPECT_FALSE(AsciiStartsWithNoCase("Stat", "static"));
    EXPECT_FALSE(AsciiStartsWithNoCase("", "static"));
    EXPECT_FALSE(AsciiStartsWithNoCase("#3277", "#32770"));
    EXPECT_FALSE(AsciiStartsWithNoCase("{utton", "[utton"));
    EXPECT_FALSE(AsciiStartsWithNoCase("\xD3tatic", "\xF3tatic"));
}

TEST(TextLengthWithin, StopsAtTheLimitOfAnUnterminatedBuffer)
{
    // Exactly sized on the heap, so that the sanitizer sees any read past it.
    std::unique_ptr<char[]> buffer(new char[10]);
    for (int i = 0; i < 10; ++i)
        buffer[i] = 'x';
    EXPECT_EQ(10u, TextLengthWithin(buffer.get(), 10));
    buffer[3] = 0;
    EXPECT_EQ(3u, TextLengthWithin(buffer.get(), 10));
    EXPECT_EQ(2u, TextLengthWithin(buffer.get(), 2));
    EXPECT_EQ(0u, TextLengthWithin("", 10));
}
