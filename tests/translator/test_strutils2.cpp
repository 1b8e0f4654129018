#include "translator/strutils2.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct SplitCase {
    std::string name;
    std::string text;
    std::vector<std::string> items;
};

class SplitTextAtCommas : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTextAtCommas, GivesTheNonEmptyItemsInOrder)
{
    EXPECT_EQ(SplitText(GetParam().text, ","), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Items, SplitTextAtCommas,
    ::testing::Values(SplitCase{"TwoItems", "a,b", {"a", "b"}},
                      SplitCase{"LeadingCommaDropsEmptyItem", ",5", {"5"}},
                      SplitCase{"DoubleCommaDropsEmptyItem", "a,,b", {"a", "b"}},
                      SplitCase{"CommasOnlyGiveNothing", ",,,", {}},
                      SplitCase{"EmptyTextGivesNothing", "", {}},
                      SplitCase{"BlanksAreKept", "a, b ", {"a", " b "}},
                      SplitCase{"NoDelimiterGivesWholeText", "abc", {"abc"}},
                      SplitCase{"NulIsAnOrdinaryCharacter", std::string("a\0,b", 4),
                                {std::string("a\0", 2), "b"}}),
    [](const auto& row) { return row.param.name; });

class SplitLinesOfText : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLinesOfText, GivesTheLinesAsAnEditorHoldsThem)
{
    EXPECT_EQ(SplitLines(GetParam().text), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    TextLines, SplitLinesOfText,
    ::testing::Values(SplitCase{"LineFeeds", "a\nb", {"a", "b"}},
                      SplitCase{"CarriageReturnLineFeeds", "a\r\nb\r\n", {"a", "b"}},
                      SplitCase{"MixedBreaks", "a\r\nb\nc", {"a", "b", "c"}},
                      SplitCase{"FinalBreakStartsNoLine", "a\n", {"a"}},
                      SplitCase{"EmptyTextGivesNoLine", "", {}},
                      SplitCase{"LoneBreakIsOneEmptyLine", "\n", {""}},
                      SplitCase{"LoneCrLfIsOneEmptyLine", "\r\n", {""}},
                      SplitCase{"BlankLinesKept", "a\n\n \nb", {"a", "", " ", "b"}},
                      SplitCase{"LoneCarriageReturnStays", "a\rb\n", {"a\rb"}},
                      SplitCase{"OnlyTheLastCarriageReturnGoes", "a\r\r\n", {"a\r"}},
                      SplitCase{"NulIsAnOrdinaryCharacter", std::string("a\0\nb", 4),
                                {std::string("a\0", 2), "b"}}),
    [](const auto& row) { return row.param.name; });

TEST(SplitText, AnyCharacterOfTheSetDelimits)
{
    EXPECT_EQ(SplitText("a;b,c;", ";,"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(TrimControls, RemovesOnlyCodesUpToBlank)
{
    EXPECT_EQ(TrimControls(std::string("\t\r\n \0x\0 ", 8)), "x");
    // Bytes of 0x80 and above are negative as signed char but are not blanks.
    EXPECT_EQ(TrimControls("\xA0x\xFF"), "\xA0x\xFF");
    EXPECT_EQ(TrimControls(" \x01 "), "");
}

TEST(AsciiLower, FoldsOnlyAToZ)
{
    EXPECT_EQ(AsciiLower("AZaz@[`{\xC4"), "azaz@[`{\xC4");
    EXPECT_TRUE(SameIgnoringAsciiCase("dD", "Dd"));
    EXPECT_FALSE(SameIgnoringAsciiCase("\xC4", "\xE4"));
    EXPECT_FALSE(SameIgnoringAsciiCase("d", "dd"));
}

TEST(HexText, PadsAndWrapsNoDigitsAway)
{
    EXPECT_EQ(HexText(0, 2, true), "00");
    EXPECT_EQ(HexText(0xab, 2, false), "ab");
    EXPECT_EQ(HexText(0x12c, 2, true), "12C");
    EXPECT_EQ(HexText(0xFFFFFFFFu, 2, true), "FFFFFFFF");
}

} // namespace
