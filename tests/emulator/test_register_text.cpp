#include "emulator/RegisterText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
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

TEST(RegisterLines, EachBaseWritesTheValueAndKeepsTheMark)
{
    struct Row {
        std::int32_t value;
        TRegisterBase base;
        const char* text;
    };
    const Row rows[] = {
        {0, TRegisterBase::SignedDecimal, "0"},
        {42, TRegisterBase::SignedDecimal, "42"},
        {-1, TRegisterBase::SignedDecimal, "-1"},
        {INT32_MIN, TRegisterBase::SignedDecimal, "-2147483648"},
        {INT32_MAX, TRegisterBase::SignedDecimal, "2147483647"},
        {0, TRegisterBase::Hexadecimal, "00000000"},
        {42, TRegisterBase::Hexadecimal, "0000002A"},
        {-1, TRegisterBase::Hexadecimal, "FFFFFFFF"},
        {INT32_MIN, TRegisterBase::Hexadecimal, "80000000"},
        {INT32_MAX, TRegisterBase::Hexadecimal, "7FFFFFFF"},
        {0x1234ABCD, TRegisterBase::Hexadecimal, "1234ABCD"},
        {0, TRegisterBase::UnsignedDecimal, "0"},
        {42, TRegisterBase::UnsignedDecimal, "42"},
        {-1, TRegisterBase::UnsignedDecimal, "4294967295"},
        {INT32_MIN, TRegisterBase::UnsignedDecimal, "2147483648"},
        {INT32_MAX, TRegisterBase::UnsignedDecimal, "2147483647"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        TRegisterFile registers{};
        registers[0] = row.value;
        registers[14] = row.value;
        const auto lines = RegisterLines(registers, 14, row.base);
        ASSERT_EQ(lines.size(), 15u);
        EXPECT_EQ(lines[0], std::string("R1: ") + row.text);
        EXPECT_EQ(lines[14], std::string("R15: ") + row.text + " *");
    }
}

TEST(OutputLine, PrefixesTheValueText)
{
    const std::pair<const char*, const char*> rows[] = {
        {"7", "Value: 7"}, {"0", "Value: 0"}, {"-2147483648", "Value: -2147483648"}, {"", "Value: "}};
    for (const auto& [value, line] : rows)
        EXPECT_EQ(OutputLine(value), line);
}
