// Listing text back into image bytes: pairs by position, odd characters and short lines dropped.

#include "emulator/ListingLoader.h"

#include <gtest/gtest.h>

namespace {

struct TLoadCase {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::uint8_t> bytes;
};

void PrintTo(const TLoadCase& c, std::ostream* os) { *os << c.name; }

class ListingLoader : public ::testing::TestWithParam<TLoadCase> {};

TEST_P(ListingLoader, GivesTheseBytes)
{
    EXPECT_EQ(LoadListing(GetParam().lines), GetParam().bytes);
}

const TLoadCase LoadCases[] = {
    {"OddLastCharacterIgnored", {"0A1"}, {0x0A}},
    {"BlankIsPairedByPosition", {"0A 1B"}, {0x0A, 0x01}},
    {"LowerAndUpperCaseAlike", {"0a", "0A"}, {10, 10}},
    {"EmptyAndOneCharacterLinesAddNothing", {"", "7", "ff"}, {0xFF}},
    {"PairsNeverSpanLines", {"1", "2"}, {}},
    {"SampleListing", {"110a", "810102", "f001", "16", "f003", "a10102", "931005", "00"},
     {0x11, 0x0A, 0x81, 0x01, 0x02, 0xF0, 0x01, 0x16, 0xF0, 0x03, 0xA1, 0x01, 0x02, 0x93, 0x10, 0x05, 0x00}},
    {"NonDigitsCountAsZero", {"g1zz"}, {0x01, 0x00}},
};

INSTANTIATE_TEST_SUITE_P(Lines, ListingLoader, ::testing::ValuesIn(LoadCases),
                         [](const ::testing::TestParamInfo<TLoadCase>& row) { return row.param.name; });

} // namespace
