#include "translator/NumberText.h"
#include "translator/Operands.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct OperandCase {
    std::string name;
    std::string written;
    char letter;
    std::string byteText;   // what the conversion of the kept text yields
    std::string reference;  // "" for none
};

class OperandAsWritten : public ::testing::TestWithParam<OperandCase> {};

TEST_P(OperandAsWritten, HasItsLetterByteTextAndReference)
{
    const OperandCase& c = GetParam();
    const TOperand operand = ClassifyOperand(c.written);
    EXPECT_EQ(operand.Letter, c.letter);
    EXPECT_EQ(ConvertOperand(operand.Text), c.byteText);
    EXPECT_EQ(operand.IsReference, !c.reference.empty());
    EXPECT_EQ(operand.Name, c.reference);
}

INSTANTIATE_TEST_SUITE_P(
    Classification, OperandAsWritten,
    ::testing::Values(OperandCase{"Register", "$1", 'R', "01", ""},
                      OperandCase{"RegisterFifteen", "$15", 'R', "0F", ""},
                      OperandCase{"RegisterInHexSyntax", "$0x3", 'R', "03", ""},
                      OperandCase{"Memory", "&10", 'M', "0A", ""},
                      OperandCase{"MemoryHex", "&0ah", 'M', "0A", ""},
                      OperandCase{"Decimal", "5", 'C', "05", ""},
                      OperandCase{"HexWithDigit", "0ah", 'C', "0A", ""},
                      OperandCase{"HexWithLetter", "ah", 'C', "0A", ""},
                      OperandCase{"HexUpperCaseIsFolded", "FFh", 'C', "FF", ""},
                      OperandCase{"ZeroXHexPrefix", "0x1f", 'C', "1F", ""},
                      OperandCase{"PlusSign", "+7", 'C', "07", ""},
                      OperandCase{"NegativeGivesEightDigits", "-1", 'C', "FFFFFFFF", ""},
                      OperandCase{"AboveOneByte", "300", 'C', "12C", ""},
                      OperandCase{"LoneHIsZero", "h", 'C', "00", ""},
                      OperandCase{"CodeLabelKeepsColon", ":Start", 'C', "00", ":start"},
                      OperandCase{"BracketedName", "[count]", 'C', "00", "count"},
                      OperandCase{"BracketDropsLastCharacterAnyway", "[count", 'C', "00", "coun"},
                      OperandCase{"BareNameIsMemory", "Count", 'M', "00", "count"},
                      OperandCase{"NameEndingInHIsHex", "each", 'C', "EAC", ""},
                      OperandCase{"LeadingBlankIsConstant", " $2", 'C', "02", ""}),
    [](const auto& row) { return row.param.name; });

TEST(OperandAsWritten, LoneBracketRefersToTheEmptyName)
{
    const TOperand operand = ClassifyOperand("[");
    EXPECT_EQ(operand.Letter, 'C');
    EXPECT_TRUE(operand.IsReference);
    EXPECT_EQ(operand.Name, "");
    EXPECT_EQ(operand.Text, "00");
}

TEST(OperandAsWritten, HighByteIsAConstantThatFailsConversion)
{
    // Bytes of 0x80 and above are negative as signed char; they must not pass as letters.
    const TOperand operand = ClassifyOperand("\xE4h");
    EXPECT_EQ(operand.Letter, 'C');
    EXPECT_FALSE(operand.IsReference);
    EXPECT_EQ(ConvertOperand(operand.Text), "00");
    EXPECT_THROW(ConvertOperand("\xC4"), EConvertError);
}

struct BadText {
    std::string name;
    std::string text;
    std::string named;
};

class OperandConversionFails : public ::testing::TestWithParam<BadText> {};

TEST_P(OperandConversionFails, NamingTheDigitsHandedIn)
{
    try {
        ConvertOperand(GetParam().text);
        FAIL() << "converted [" << GetParam().text << "]";
    } catch (const EConvertError& e) {
        EXPECT_EQ(std::string(e.what()), "'" + GetParam().named + "' is not a valid integer value");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Conversion, OperandConversionFails,
    ::testing::Values(BadText{"TrailingLetter", "1x", "1x"},
                      BadText{"RegisterPrefixDropped", "$a", "a"},
                      BadText{"UpperCaseHIsNotHex", "0FFH", "0FFH"},
                      BadText{"StrayComma", "5,", "5,"},
                      BadText{"BlankBeforeLabel", " :start", " :start"},
                      BadText{"LoneRegisterPrefix", "$", "$"},
                      BadText{"LoneMemoryPrefix", "&", "&"},
                      BadText{"LoneColon", ":", ":"}),
    [](const auto& row) { return row.param.name; });

struct ByteCase {
    std::string name;
    std::string text;
    std::string byteText;
    bool fits;
};

class OperandBytes : public ::testing::TestWithParam<ByteCase> {};

TEST_P(OperandBytes, FitOnlyWithinZeroTo255)
{
    const TOperandBytes bytes = ConvertOperandBytes(GetParam().text);
    EXPECT_EQ(bytes.ByteText, GetParam().byteText);
    EXPECT_EQ(bytes.FitsInOneByte, GetParam().fits);
}

INSTANTIATE_TEST_SUITE_P(
    Range, OperandBytes,
    ::testing::Values(ByteCase{"EmptyIsNoOperand", "", "", true},
                      ByteCase{"Zero", "0", "00", true},
                      ByteCase{"Top", "255", "FF", true},
                      ByteCase{"JustAbove", "256", "100", false},
                      ByteCase{"Negative", "-1", "FFFFFFFF", false},
                      ByteCase{"HexTop", "0ffh", "FF", true},
                      ByteCase{"HexLeadingZeros", "0000ffh", "FF", true},
                      ByteCase{"HexJustAbove", "100h", "100", false},
                      ByteCase{"HexWrapsToSmallValue", "1000000ffh", "FF", false},
                      ByteCase{"HexJunkCountsAsZero", "zz1h", "01", true},
                      ByteCase{"RegisterAbove", "$256", "100", false}),
    [](const auto& row) { return row.param.name; });

} // namespace
