#include "InstructionTable.h"
#include "NumberText.h"
#include "Translation.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const TInstructionTable& Table()
{
    static const TInstructionTable table = [] {
        TInstructionTable t;
        FillInstructionTable(t);
        return t;
    }();
    return table;
}

Lines Repeated(const std::string& line, int count)
{
    return Lines(static_cast<std::size_t>(count), line);
}

Lines Joined(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct ListingCase {
    std::string name;
    Lines program;
    Lines listing;
};

class TranslationGives : public ::testing::TestWithParam<ListingCase> {};

TEST_P(TranslationGives, TheListing)
{
    EXPECT_EQ(Translate(Table(), GetParam().program), GetParam().listing);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TranslationGives,
    ::testing::Values(
        ListingCase{"SampleProgram",
                    {"add ah", "xch $1,$2", ":start", "set 1", "inc", "set 3", "cmp $1,$2",
                     "jin :stop,:start", ":stop", "stop"},
                    {"110a", "810102", "f001", "16", "f003", "a10102", "931005", "00"}},
        ListingCase{"DataNameAsMemoryAndAsConstant",
                    {"set 1", "mov $1,count", "add [count]", "out $1", "stop", "dd count,5"},
                    {"f001", "71010a", "110a", "f401", "00", "05"}}),
    [](const auto& row) { return row.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Lines, TranslationGives,
    ::testing::Values(
        ListingCase{"LookupEdgeCases",
                    {"stop", "reset", "ADD ah", "Add ah", "inc", "or &1,&2", "or &7", "and",
                     "idiv $10,$11", "idiv 4,2", "set 1", "cmp $1,5", "nop"},
                    {"00", "01", "110a", "110a", "16", "5c0102", "5d07", "52", "330a0b", "",
                     "f001", "a00105", ""}},
        ListingCase{"LinesWithoutOperandsNeverPickSForms", {"not", "XOr"}, {"", ""}},
        ListingCase{"BlankLinesLeaveCounterAlone",
                    {"inc", "", "   ", std::string("\t\0\r", 3), ":a", "jmp :a"},
                    {"16", "9001"}},
        ListingCase{"BlanksAndTabsAroundLine", {" \t add ah\t ", "add \t ah"}, {"110a", "110a"}},
        ListingCase{"TabDoesNotSeparateMnemonic", {"add\tah"}, {""}},
        ListingCase{"FormWithoutRowKeepsCounter",
                    {"nop", "jmp :a,:b", ":a", "jmp :a"}, {"", "", "9000"}},
        ListingCase{"ThreeOperandsAreNone", {"inc 1,2,3"}, {"16"}},
        ListingCase{"BlankAfterCommaMakesConstant", {"cmp $1, $2", "mov $1, $2"},
                    {"a00102", "770102"}},
        ListingCase{"ForwardAndBackwardReferences",
                    {"jmp :end", "inc", ":top", "inc", "jmp :top", ":end", "stop"},
                    {"9006", "16", "16", "9003", "00"}},
        ListingCase{"FirstDefinitionWins",
                    {"inc", ":a", "inc", ":a", "jmp :a"}, {"16", "16", "9001"}},
        ListingCase{"UndefinedNameIsZero", {"inc", "jmp :nowhere", "add [nothing]"},
                    {"16", "9000", "1100"}},
        ListingCase{"CodeLabelsIgnoreCase",
                    {"inc", ":Loop", "jmp :loop", "jmp :LOOP"}, {"16", "9001", "9001"}},
        ListingCase{"DataNamesIgnoreCase",
                    {"mov $1,Count", "add [COUNT]", "dd COUNT,7"}, {"710105", "1105", "07"}},
        ListingCase{"UpperCaseHexOperandIsFolded", {"add FFh", "add 0FFH"}, {"11ff", "11ff"}}),
    [](const auto& row) { return row.param.name; });

INSTANTIATE_TEST_SUITE_P(
    DataDefinitions, TranslationGives,
    ::testing::Values(
        ListingCase{"UnnamedValue", {"dd 7"}, {"07"}},
        ListingCase{"NameWithoutValue", {"dd buf"}, {""}},
        ListingCase{"NameWithValueKeepsDataCase", {"dd x,200"}, {"C8"}},
        ListingCase{"NonDigitValueGivesPlaceholder", {"dd flag,$1", "dd n,-5"}, {"00", "00"}},
        ListingCase{"SignedHeadIsAName", {"dd -5"}, {""}},
        ListingCase{"LowerCaseHexValue", {"dd y,0ah", "dd z,0ffh"}, {"0A", "FF"}},
        ListingCase{"ThreeItemsDoNothing", {"dd a,1,2", "dd", "dd ,,,"}, {}},
        ListingCase{"UpperCaseKeyword", {"DD count,5", "Dd 9"}, {"05", "09"}},
        ListingCase{"NamesTakeCurrentAddress",
                    {"inc", "dd buf", "dd 7", "dd x,200", "add [x]", "add [buf]"},
                    {"16", "", "07", "C8", "1102", "1101"}}),
    [](const auto& row) { return row.param.name; });

// Operands after a code label, or on a line whose form has no row, emit no byte; their names
// must not be written over bytes of other lines.
INSTANTIATE_TEST_SUITE_P(
    ReferencesWithoutBytes, TranslationGives,
    ::testing::Values(
        ListingCase{"AfterCodeLabel", {":x :y", "set 2", "inc", ":y", "stop"},
                    {"f002", "16", "00"}},
        ListingCase{"OnLineWithoutRow", {"jmp :a,:b", "set 2", "inc", ":a", ":b", "stop"},
                    {"", "f002", "16", "00"}},
        ListingCase{"CodeLabelOperandsAreNotConverted", {":x 1x", "inc"}, {"16"}}),
    [](const auto& row) { return row.param.name; });

// Addresses stay within one byte up to 255 inclusive.
INSTANTIATE_TEST_SUITE_P(
    ByteBoundaries, TranslationGives,
    ::testing::Values(
        ListingCase{"ValuesAtTheEdges", {"set 0", "set 255", "dd 255", "set $0xff"},
                    {"f000", "f0ff", "FF", "f1ff"}},
        ListingCase{"NameAtAddress255",
                    Joined({{"jmp :far"}, Repeated("set 1", 126), {"inc", ":far", "stop"}}),
                    Joined({{"90ff"}, Repeated("f001", 126), {"16", "00"}})},
        ListingCase{"UnreferencedFarNameIsFine",
                    Joined({Repeated("set 1", 130), {":far", "stop"}}),
                    Joined({Repeated("f001", 130), {"00"}})},
        ListingCase{"ValueWithoutRowIsNotEmitted", {"idiv 4,300", "nop 300"}, {"", ""}}),
    [](const auto& row) { return row.param.name; });

struct FailureCase {
    std::string name;
    Lines program;
    bool conversion;  // EConvertError, otherwise ERangeError
    std::string message;
};

class TranslationFails : public ::testing::TestWithParam<FailureCase> {};

TEST_P(TranslationFails, WithTheMessage)
{
    const FailureCase& c = GetParam();
    try {
        Translate(Table(), c.program);
        FAIL() << "translated";
    } catch (const EConvertError& e) {
        EXPECT_TRUE(c.conversion) << e.what();
        EXPECT_EQ(std::string(e.what()), c.message);
    } catch (const ERangeError& e) {
        EXPECT_FALSE(c.conversion) << e.what();
        EXPECT_EQ(std::string(e.what()), c.message);
    }
}

const std::string kNotInteger = "' is not a valid integer value";
const std::string kNotByte = "' does not fit in one byte (0 to 255)";

INSTANTIATE_TEST_SUITE_P(
    Conversion, TranslationFails,
    ::testing::Values(
        FailureCase{"StrayCommaStaysInOperand", {"set 5,"}, true, "'5," + kNotInteger},
        FailureCase{"TrailingLetter", {"set 1x"}, true, "'1x" + kNotInteger},
        FailureCase{"SecondOperandNamedFirst", {"cmp 1x,2y"}, true, "'2y" + kNotInteger},
        FailureCase{"BlankBeforeLabel", {"jin :a, :b"}, true, "' :b" + kNotInteger},
        FailureCase{"UpperCaseHInData", {"dd z,0FFH"}, true, "'0FFH" + kNotInteger},
        FailureCase{"LoneRegisterPrefix", {"set $"}, true, "'$" + kNotInteger},
        FailureCase{"LoneMemoryPrefix", {"mov $1,&"}, true, "'&" + kNotInteger},
        FailureCase{"StopsAtFirstBadLine", {"set 1x", "set 2y"}, true, "'1x" + kNotInteger},
        FailureCase{"WinsOverEarlierRangeError", {"set 300", "set 2y"}, true,
                    "'2y" + kNotInteger}),
    [](const auto& row) { return row.param.name; });

INSTANTIATE_TEST_SUITE_P(
    OneByte, TranslationFails,
    ::testing::Values(
        FailureCase{"Constant", {"set 300"}, false, "'300" + kNotByte},
        FailureCase{"NegativeConstant", {"set -1"}, false, "'-1" + kNotByte},
        FailureCase{"RegisterNumber", {"mov $1,$256"}, false, "'$256" + kNotByte},
        FailureCase{"MemoryAddress", {"set &1000"}, false, "'&1000" + kNotByte},
        FailureCase{"HexNamedAsWritten", {"add FFFh"}, false, "'FFFh" + kNotByte},
        FailureCase{"HexThatWrapsIntoAByte", {"add 1000000ffh"}, false,
                    "'1000000ffh" + kNotByte},
        FailureCase{"SecondOperandNamedFirst", {"cmp $300,400"}, false, "'400" + kNotByte},
        FailureCase{"DataValue", {"dd x,300"}, false, "'300" + kNotByte},
        FailureCase{"UnnamedDataValue", {"dd 256"}, false, "'256" + kNotByte},
        FailureCase{"FirstOffendingLineNamed", {"set 1", "set 999", "set 300"}, false,
                    "'999" + kNotByte},
        FailureCase{"CodeLabelAbove255",
                    Joined({{"jmp :Far"}, Repeated("set 1", 127), {":far"}}), false,
                    "':Far' stands for address 256, which does not fit in one byte (0 to 255)"},
        FailureCase{"DataNameAbove255",
                    Joined({Repeated("set 1", 150), {"add [Buf]", "dd buf,1"}}), false,
                    "'[Buf]' stands for address 302, which does not fit in one byte (0 to 255)"},
        FailureCase{"ValueReportedBeforeName",
                    Joined({{"jmp :far", "set -1"}, Repeated("set 1", 130), {":far"}}), false,
                    "'-1" + kNotByte}),
    [](const auto& row) { return row.param.name; });

// Any text at all gives a well-formed listing or one of the two errors.
TEST(TranslationOfJunk, GivesListingOrTheClearError)
{
    std::mt19937 random(20261209);
    const std::vector<std::string> pieces = {
        "add", "mov", "jin", "dd", "DD", "set", "not", ":a", ":A", "[a]", "[", "a", "b", "$",
        "&", ":", ",", ",,", " ", "  ", "\t", "h", "0", "1", "255", "256", "-", "ff", "0x",
        "$1", "&2", std::string(1, '\0'), "\x80", "\xff", "\r\n"};
    int listings = 0;
    for (int program = 0; program < 400; ++program) {
        Lines lines(random() % 12);
        for (std::string& line : lines) {
            const int length = static_cast<int>(random() % 10);
            for (int i = 0; i < length; ++i) {
                if (random() % 4 == 0)
                    line += static_cast<char>(random() % 256);
                else
                    line += pieces[random() % pieces.size()];
            }
        }
        try {
            for (const std::string& out : Translate(Table(), lines)) {
                EXPECT_EQ(out.size() % 2, 0u) << out;
                EXPECT_EQ(out.find_first_not_of("0123456789abcdefABCDEF"), std::string::npos)
                    << out;
            }
            ++listings;
        } catch (const EConvertError&) {
        } catch (const ERangeError&) {
        }
    }
    // Both outcomes must occur, or the generator no longer exercises the translator.
    EXPECT_GT(listings, 40);
    EXPECT_LT(listings, 400);
}

TEST(TranslationOfJunk, VeryLongLinesTranslate)
{
    const std::string digits(100000, '9');
    const Lines program = {std::string(1000000, ','), std::string(1000000, 'a'),
                           "set " + std::string(100000, '0') + "7", "dd x," + digits};
    EXPECT_THROW(Translate(Table(), program), EConvertError);
    EXPECT_EQ(Translate(Table(), Lines(program.begin(), program.begin() + 3)),
              (Lines{"", "", "f007"}));
    EXPECT_THROW(Translate(Table(), {"add " + std::string(100000, 'f') + "h"}), ERangeError);
}

} // namespace
