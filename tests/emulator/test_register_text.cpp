#include "emulator/RegisterText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <utility>

TEST(RegisterLines, OneLinePerRegisterWithTheCurrentOneMarked)
{
    TRegisterFile registers{};
    registers[0] = 0;
    registers[2] = -5;
    registers[14] = INT32_MAX;
    registers[13] = INT32_MIN;
    const auto lines = RegisterLines(registers, 2);
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[0], "R1: 0");
    EXPECT_EQ(lines[2], "R3: -5 *");
    EXPECT_EQ(lines[13], "R14: -2147483648");
    EXPECT_EQ(lines[14], "R15: 2147483647");
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.ends_with(" *"); }),
              1);
}

TEST(RegisterLines, AnIndexOutsideTheFileMarksNoLine)
{
    for (const std::uint8_t current : {std::uint8_t{15}, std::uint8_t{255}}) {
        const auto lines = RegisterLines(TRegisterFile{}, current);
        EXPECT_TRUE(std::none_of(lines.begin(), lines.end(),
                                 [](const std::string& line) { return line.ends_with(" *"); }));
    }
}

TEST(OutputLine, PrefixesTheValueText)
{
    const std::pair<const char*, const char*> rows[] = {
        {"7", "Value: 7"}, {"0", "Value: 0"}, {"-2147483648", "Value: -2147483648"}, {"", "Value: "}};
    for (const auto& [value, line] : rows)
        EXPECT_EQ(OutputLine(value), line);
}
