#include "translator/NumberText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct Accepted {
    std::string text;
    std::int32_t value;
};

class StrToIntAccepts : public ::testing::TestWithParam<Accepted> {};

TEST_P(StrToIntAccepts, GivesTheValue)
{
    EXPECT_EQ(StrToInt(GetParam().text), GetParam().value) << "text: [" << GetParam().text << "]";
}

INSTANTIATE_TEST_SUITE_P(
    IntegerSyntax, StrToIntAccepts,
    ::testing::Values(
        Accepted{"0", 0}, Accepted{"007", 7}, Accepted{"  42", 42}, Accepted{"+7", 7},
        Accepted{"-5", -5}, Accepted{" -12", -12}, Accepted{"2147483647", 2147483647},
        Accepted{"-2147483648", INT32_MIN}, Accepted{"$ff", 255}, Accepted{"$FF", 255},
        Accepted{"x10", 16}, Accepted{"X10", 16}, Accepted{"0x1f", 31}, Accepted{"0X1F", 31},
        Accepted{"$FFFFFFFF", -1}, Accepted{"-$1", -1}, Accepted{"-$FFFFFFFF", 1},
        Accepted{"$80000000", INT32_MIN}, Accepted{"$000000001", 1},
        Accepted{"0000000000002147483647", 2147483647}));

class StrToIntRejects : public ::testing::TestWithParam<std::string> {};

TEST_P(StrToIntRejects, WithTheConversionMessage)
{
    const std::string text = GetParam();
    try {
        StrToInt(text);
        FAIL() << "accepted [" << text << "]";
    } catch (const EConvertError& e) {
        EXPECT_EQ(std::string(e.what()), "'" + text + "' is not a valid integer value");
    }
    std::int32_t untouched = 99;
    EXPECT_FALSE(TryStrToInt(text, untouched));
}

INSTANTIATE_TEST_SUITE_P(
    IntegerSyntax, StrToIntRejects,
    ::testing::Values("", " ", "-", "+", "+-1", "1x", "5,", "1 ", "\t1", "1.5", "ff", "0x", "$",
                      "x", "2147483648", "-2147483649", "99999999999999999999", "$100000000",
                      "0FFH", "--1", "1\r"));

TEST(StrToInt, RejectsEmbeddedNul)
{
    std::int32_t untouched = 99;
    EXPECT_FALSE(TryStrToInt(std::string("1\0", 2), untouched));
    EXPECT_EQ(untouched, 99);
    EXPECT_THROW(StrToInt(std::string("\0", 1)), EConvertError);
}

TEST(HexToInt, ReadsDigitsOfEitherCase)
{
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("0a"), 10);
    EXPECT_EQ(HexToInt("0A"), 10);
    EXPECT_EQ(HexToInt("ff"), 255);
    EXPECT_EQ(HexToInt("12c"), 300);
    EXPECT_EQ(HexToInt("ffffffff"), -1);
}

TEST(HexToInt, WrapsInThirtyTwoBits)
{
    EXPECT_EQ(HexToInt("100000000"), 0);
    EXPECT_EQ(HexToInt("123456789"), 0x23456789);
}

TEST(HexToInt, CountsOtherCharactersAsZeroDigits)
{
    EXPECT_EQ(HexToInt(" 1"), 0x01);
    EXPECT_EQ(HexToInt("1 "), 0x10);
    EXPECT_EQ(HexToInt("zz"), 0);
    EXPECT_EQ(HexToInt("g1"), 0x01);
    EXPECT_EQ(HexToInt(std::string("\xff" "1", 2)), 0x01);
}

} // namespace
