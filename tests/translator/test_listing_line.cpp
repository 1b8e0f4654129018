// How listing lines give bytes: pairs by position, an odd last character and short lines
// giving nothing, and each line's first byte just past the bytes of the lines before it.

#include "translator/ListingLine.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

namespace {

struct TLineCase {
    std::string name;
    std::string line;
    std::vector<std::string> bytes;  // the characters of each byte, in order
};

class ListingLineBytesOf : public ::testing::TestWithParam<TLineCase> {};

TEST_P(ListingLineBytesOf, PairsCharactersByPosition)
{
    const std::string& line = GetParam().line;
    std::vector<std::string> bytes;
    for (std::size_t k = 0; k < ListingLineBytes(line.size()); ++k)
        bytes.emplace_back(ListingByteText(line, k));
    EXPECT_EQ(bytes, GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ListingLineBytesOf,
    ::testing::Values(TLineCase{"EmptyLineGivesNothing", "", {}},
                      TLineCase{"OneCharacterGivesNothing", "7", {}},
                      TLineCase{"InstructionWithOperands", "810102", {"81", "01", "02"}},
                      TLineCase{"OddLastCharacterGivesNothing", "0A1", {"0A"}},
                      TLineCase{"BlankShiftsThePairing", "0A 1B", {"0A", " 1"}},
                      TLineCase{"AnyCharactersPairUp", "zz", {"zz"}},
                      TLineCase{"HighBytesAndNulAreCharacters", std::string("\xE9\0" "1", 3),
                                {std::string("\xE9\0", 2)}}),
    [](const auto& row) { return row.param.name; });

TEST(ListingBytes, LineStartsFollowTheBytesBefore)
{
    const std::vector<std::string> listing = {"110a", "810102", "", "7", "f0", "123"};
    const std::vector<std::size_t> starts = {0, 2, 5, 5, 5, 6};
    const std::span<const std::string> lines(listing);
    for (std::size_t k = 0; k < listing.size(); ++k)
        EXPECT_EQ(ListingBytes(lines.first(k)), starts[k]) << "line " << k + 1;
    EXPECT_EQ(ListingBytes(listing), 7U);
}

} // namespace
