#include "translator/InstructionTable.h"
#include "translator/NumberText.h"
#include "translator/strutils2.h"
#include "translator/Translation.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
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
        ListingCase{"UpperCaseHexOperandIsFolded", {"add FFh", "add 0FFH"}, {"11ff", "11ff"}},
        // A comment line is read as a blank one: no listing line, whatever words it holds.
        ListingCase{"CommentLinesGiveNoListingLine",
                    {"; adds 1x", ";", " \t;set 300", "inc", "  ; dd x,5"}, {"16"}},
        ListingCase{"CommentsBetweenInstructionsKeepLabelAddresses",
                    {"; count up", "set 1", "; the loop", ":loop", "\t; one more", "inc",
                     "jmp :loop", "; data", "add [n]", "dd n,7"},
                    {"f001", "16", "9002", "1107", "07"}},
        ListingCase{"SemicolonInTheFirstWordIsNoComment", {"inc;", "jmp;x"}, {"", ""}}),
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
    std::size_t line;  // program line of the offending text, from 1
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class TranslationFails : public ::testing::TestWithParam<FailureCase> {};

void ExpectError(const std::function<void()>& translate, const FailureCase& c)
{
    try {
        translate();
        FAIL() << "translated";
    } catch (const EConvertError& e) {
        EXPECT_TRUE(c.conversion) << e.what();
        EXPECT_EQ(std::string(e.what()), c.message);
    } catch (const ERangeError& e) {
        EXPECT_FALSE(c.conversion) << e.what();
        EXPECT_EQ(std::string(e.what()), c.message);
    }
}

TEST_P(TranslationFails, WithTheMessage)
{
    const FailureCase& c = GetParam();
    ExpectError([&] { Translate(Table(), c.program); }, c);
}

// The richer result carries the same error, unthrown, with the line of the offending text.
TEST_P(TranslationFails, OnTheLineOfTheOffendingText)
{
    const FailureCase& c = GetParam();
    const TTranslation translation = TranslateProgram(Table(), c.program);
    ASSERT_TRUE(translation.Failure.has_value());
    EXPECT_EQ(translation.Failure->Line, c.line);
    EXPECT_EQ(translation.Failure->Message, c.message);
    EXPECT_TRUE(translation.Listing.empty());
    EXPECT_TRUE(translation.ProgramLines.empty());
    ExpectError([&] { std::rethrow_exception(translation.Failure->Error); }, c);
}

const std::string kNotInteger = "' is not a valid integer value";
const std::string kNotByte = "' does not fit in one byte (0 to 255)";

INSTANTIATE_TEST_SUITE_P(
    Conversion, TranslationFails,
    ::testing::Values(
        FailureCase{"StrayCommaStaysInOperand", {"set 5,"}, true, "'5," + kNotInteger, 1},
        FailureCase{"TrailingLetter", {"set 1x"}, true, "'1x" + kNotInteger, 1},
        FailureCase{"SecondOperandNamedFirst", {"cmp 1x,2y"}, true, "'2y" + kNotInteger, 1},
        FailureCase{"BlankBeforeLabel", {"jin :a, :b"}, true, "' :b" + kNotInteger, 1},
        FailureCase{"UpperCaseHInData", {"dd z,0FFH"}, true, "'0FFH" + kNotInteger, 1},
        FailureCase{"LoneRegisterPrefix", {"set $"}, true, "'$" + kNotInteger, 1},
        FailureCase{"LoneMemoryPrefix", {"mov $1,&"}, true, "'&" + kNotInteger, 1},
        FailureCase{"SemicolonAfterAnOperandIsPartOfIt", {"; set 1x", "  ;1x", "set 5 ; 1x"}, true,
                    "'5 ; 1x" + kNotInteger, 3},
        FailureCase{"StopsAtFirstBadLine", {"set 1x", "set 2y"}, true, "'1x" + kNotInteger, 1},
        FailureCase{"WinsOverEarlierRangeError", {"set 300", "set 2y"}, true,
                    "'2y" + kNotInteger, 2}),
    [](const auto& row) { return row.param.name; });

INSTANTIATE_TEST_SUITE_P(
    OneByte, TranslationFails,
    ::testing::Values(
        FailureCase{"Constant", {"set 300"}, false, "'300" + kNotByte, 1},
        FailureCase{"NegativeConstant", {"set -1"}, false, "'-1" + kNotByte, 1},
        FailureCase{"RegisterNumber", {"mov $1,$256"}, false, "'$256" + kNotByte, 1},
        FailureCase{"MemoryAddress", {"set &1000"}, false, "'&1000" + kNotByte, 1},
        FailureCase{"HexNamedAsWritten", {"add FFFh"}, false, "'FFFh" + kNotByte, 1},
        FailureCase{"HexThatWrapsIntoAByte", {"add 1000000ffh"}, false,
                    "'1000000ffh" + kNotByte, 1},
        FailureCase{"SecondOperandNamedFirst", {"cmp $300,400"}, false, "'400" + kNotByte, 1},
        FailureCase{"DataValue", {"dd x,300"}, false, "'300" + kNotByte, 1},
        FailureCase{"UnnamedDataValue", {"dd 256"}, false, "'256" + kNotByte, 1},
        FailureCase{"FirstOffendingLineNamed", {"set 1", "set 999", "set 300"}, false,
                    "'999" + kNotByte, 2},
        FailureCase{"CodeLabelAbove255",
                    Joined({{"jmp :Far"}, Repeated("set 1", 127), {":far"}}), false,
                    "':Far' stands for address 256, which does not fit in one byte (0 to 255)",
                    1},
        FailureCase{"DataNameAbove255",
                    Joined({Repeated("set 1", 150), {"add [Buf]", "dd buf,1"}}), false,
                    "'[Buf]' stands for address 302, which does not fit in one byte (0 to 255)",
                    151},
        FailureCase{"ValueReportedBeforeName",
                    Joined({{"jmp :far", "set -1"}, Repeated("set 1", 130), {":far"}}), false,
                    "'-1" + kNotByte, 2}),
    [](const auto& row) { return row.param.name; });

// Which line a failure names: the first, the last, one after blank and ignored lines, and
// lines of text with Windows line breaks.
INSTANTIATE_TEST_SUITE_P(
    Lines, TranslationFails,
    ::testing::Values(
        FailureCase{"ConversionOnFirstOfSeveral", {"set 1x", "inc", "stop"}, true,
                    "'1x" + kNotInteger, 1},
        FailureCase{"ConversionOnLastLine", {"set 1", "inc", "", "set 1x"}, true,
                    "'1x" + kNotInteger, 4},
        FailureCase{"ConversionAfterBlankAndIgnoredLines",
                    {"", "  \t", ":a", "nop", "dd", "inc 1,2,3", "mov $1,1x"}, true,
                    "'1x" + kNotInteger, 7},
        FailureCase{"ConversionInWindowsText", SplitLines("inc\r\n\r\nset 1x\r\nstop\r\n"),
                    true, "'1x" + kNotInteger, 3},
        FailureCase{"DataConversionAfterLabels", {":a", ":b", "dd x,1x"}, true,
                    "'1x" + kNotInteger, 3},
        FailureCase{"RangeOnLastLine", {"inc", "set 1", "dd 256"}, false, "'256" + kNotByte, 3},
        FailureCase{"RangeAfterBlankAndIgnoredLines", {"", "\t", ":x", "nop", "add 999"}, false,
                    "'999" + kNotByte, 5},
        FailureCase{"RangeInWindowsText", SplitLines("inc\r\n\r\n\r\nset 300\r\nstop"),
                    false, "'300" + kNotByte, 4},
        FailureCase{"NameReferredToOnLastLine",
                    Joined({Repeated("set 1", 128), {":far", "", "jmp :far"}}), false,
                    "':far' stands for address 256, which does not fit in one byte (0 to 255)",
                    131},
        // The failure's message is what() gives, which a NUL in the program's text ends.
        FailureCase{"NulEndsTheMessageAsWhatDoes",
                    Joined({Repeated("set 1", 128), {std::string(":f\0g", 4),
                                                     std::string("jmp :f\0g", 8)}}),
                    false, "':f", 130},
        FailureCase{"NameOfFirstReferenceInOrder",
                    Joined({Repeated("set 1", 130), {"jmp [far]", "dd far,1", "mov $1,far"}}),
                    false,
                    "'[far]' stands for address 262, which does not fit in one byte (0 to 255)",
                    131}),
    [](const auto& row) { return row.param.name; });

struct Warned {
    std::size_t line;
    std::string message;

    bool operator==(const Warned&) const = default;
};

void PrintTo(const Warned& w, std::ostream* os)
{
    *os << w.line << ": " << w.message;
}

struct WarningCase {
    std::string name;
    Lines program;
    std::vector<Warned> warnings;
};

void PrintTo(const WarningCase& c, std::ostream* os)
{
    *os << c.name;
}

class TranslationWarns : public ::testing::TestWithParam<WarningCase> {};

// Warnings come in line order and leave the listing exactly as Translate gives it.
TEST_P(TranslationWarns, OnTheseLines)
{
    const WarningCase& c = GetParam();
    const TTranslation translation = TranslateProgram(Table(), c.program);
    std::vector<Warned> warnings;
    for (const TTranslationWarning& w : translation.Warnings)
        warnings.push_back({w.Line, w.Message});
    EXPECT_EQ(warnings, c.warnings);
    if (!translation.Failure) {
        EXPECT_EQ(translation.Listing, Translate(Table(), c.program));
    }
}

const std::string kUndefined = "' is not defined; it stands for address 0";
const std::string kNoInstruction = "' is not an instruction; the line emits nothing";

std::string TabDoesNotSeparate(const std::string& word)
{
    return "' is not an instruction: a tab does not separate '" + word
        + "' from its operands (use a blank); the line emits nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TranslationWarns,
    ::testing::Values(
        WarningCase{"CorrectProgramsWarnNothing",
                    {"add ah", "xch $1,$2", ":start", "set 1", "inc", "set 3", "cmp $1,$2",
                     "jin :stop,:start", ":stop", "stop", "", "mov $1,count", "add [count]",
                     "dd count,5", "dd buf", "dd 7", "and", "add each"},
                    {}},
        WarningCase{"UndefinedCodeLabel", {"set 1", "jin :strat,:start", ":start"},
                    {{2, "':strat" + kUndefined}}},
        WarningCase{"UndefinedNamesAsWritten", {"mov $1,Count", "add [Total]", "jmp :End"},
                    {{1, "'Count" + kUndefined}, {2, "'Total" + kUndefined},
                     {3, "':End" + kUndefined}}},
        WarningCase{"UndefinedOncePerLine", {"jin :x,:x", "jmp :x"},
                    {{1, "':x" + kUndefined}, {2, "':x" + kUndefined}}},
        WarningCase{"NotAnInstruction", {"nop", "inc", "Halt 1,2"},
                    {{1, "'nop" + kNoInstruction}, {3, "'Halt" + kNoInstruction}}},
        WarningCase{"TabAfterAnInstruction", {"add\tah", "SET\t1", "dd\tx,5", "jmp\t:a, :b"},
                    {{1, "'add\tah" + TabDoesNotSeparate("add")},
                     {2, "'SET\t1" + TabDoesNotSeparate("SET")},
                     {3, "'dd\tx,5" + TabDoesNotSeparate("dd")},
                     {4, "'jmp\t:a," + TabDoesNotSeparate("jmp")}}},
        WarningCase{"TabAfterAnUnknownWord", {"nop\t1", ":a\tinc", "add ah\t"},
                    {{1, "'nop\t1" + kNoInstruction}}},
        WarningCase{"FormWithoutRow", {"idiv 4,2", "jmp :a,:b", "not", "xor", ":a", ":b"},
                    {{1, "'idiv' has no form with operands CC; the line emits nothing"},
                     {2, "'jmp' has no form with operands CC; the line emits nothing"},
                     {3, "'not' has no form without operands; the line emits nothing"},
                     {4, "'xor' has no form without operands; the line emits nothing"}}},
        WarningCase{"OperandsIgnored", {"inc 1,2,3", "inc ,,"},
                    {{1, "'1,2,3' is not one or two operands; it is ignored"},
                     {2, "',,' is not one or two operands; it is ignored"}}},
        WarningCase{"TextAfterLabel", {":x :y", "stop", ":y"},
                    {{1, "':y' after the label ':x' is ignored"}}},
        WarningCase{"DataThatDoesNothing", {"dd", "DD a,1,2", "dd ,,"},
                    {{1, "'dd' needs a name, a value, or a name and a value; the line does nothing"},
                     {2, "'DD' needs a name, a value, or a name and a value; the line does nothing"},
                     {3, "'dd' needs a name, a value, or a name and a value; the line does nothing"}}},
        WarningCase{"CommentsWarnNothing",
                    {"; nop", ";", "  ;dd", "; jmp :nowhere", "\t; :x :y", "nop"},
                    {{6, "'nop" + kNoInstruction}}},
        WarningCase{"NameDefinedAgain", {":a", "inc", ":A", "dd x", "dd X,1", "jmp :a"},
                    {{3, "':A' is already defined on line 1; this definition is not used"},
                     {5, "'X' is already defined on line 4; this definition is not used"}}}),
    [](const auto& row) { return row.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Lines, TranslationWarns,
    ::testing::Values(
        WarningCase{"FirstAndLastLine", {"nop", "inc", "jmp :nowhere"},
                    {{1, "'nop" + kNoInstruction}, {3, "':nowhere" + kUndefined}}},
        WarningCase{"AfterBlankAndIgnoredLines", {"", " \t ", ":a", "dd", "", "nop"},
                    {{4, "'dd' needs a name, a value, or a name and a value; the line does nothing"},
                     {6, "'nop" + kNoInstruction}}},
        WarningCase{"WindowsText", SplitLines("inc\r\n\r\nnop\r\n\r\njmp :x\r\n"),
                    {{3, "'nop" + kNoInstruction}, {5, "':x" + kUndefined}}},
        // Names resolve after the last line, yet their warnings sort among the others.
        WarningCase{"NamesSortAmongLines", {"jmp :x", "nop", "jmp :y", "bad"},
                    {{1, "':x" + kUndefined}, {2, "'nop" + kNoInstruction},
                     {3, "':y" + kUndefined}, {4, "'bad" + kNoInstruction}}},
        WarningCase{"KeptUpToAConversionFailure", {"nop", "set 1x", "nop"},
                    {{1, "'nop" + kNoInstruction}}},
        WarningCase{"KeptWithARangeFailure", {"nop", "set 300", "nop"},
                    {{1, "'nop" + kNoInstruction}, {3, "'nop" + kNoInstruction}}}),
    [](const auto& row) { return row.param.name; });

struct ByteMapCase {
    std::string name;
    Lines program;
    std::vector<std::size_t> programLines;  // per byte, by address
    std::vector<std::size_t> listingLines;  // per byte, by address
};

void PrintTo(const ByteMapCase& c, std::ostream* os)
{
    *os << c.name;
}

class TranslationByteMap : public ::testing::TestWithParam<ByteMapCase> {};

TEST_P(TranslationByteMap, NamesTheLinesOfEveryByte)
{
    const ByteMapCase& c = GetParam();
    const TTranslation translation = TranslateProgram(Table(), c.program);
    ASSERT_FALSE(translation.Failure.has_value());
    std::vector<std::size_t> programLines;
    std::vector<std::size_t> listingLines;
    for (const TByteOrigin& origin : translation.ByteOrigins()) {
        programLines.push_back(origin.ProgramLine);
        listingLines.push_back(origin.ListingLine);
    }
    EXPECT_EQ(programLines, c.programLines);
    EXPECT_EQ(listingLines, c.listingLines);
    // Each byte's listing line holds it, and came from its program line.
    std::size_t bytes = 0;
    for (const std::string& line : translation.Listing)
        bytes += line.size() / 2;
    EXPECT_EQ(bytes, programLines.size());
    ASSERT_EQ(translation.ProgramLines.size(), translation.Listing.size());
    for (std::size_t b = 0; b < listingLines.size(); ++b)
        EXPECT_EQ(translation.ProgramLines[listingLines[b] - 1], programLines[b]) << b;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, TranslationByteMap,
    ::testing::Values(
        ByteMapCase{"SampleProgram",
                    {"add ah", "xch $1,$2", ":start", "set 1", "inc", "set 3", "cmp $1,$2",
                     "jin :stop,:start", ":stop", "stop"},
                    {1, 1, 2, 2, 2, 4, 4, 5, 6, 6, 7, 7, 7, 8, 8, 8, 10},
                    {1, 1, 2, 2, 2, 3, 3, 4, 5, 5, 6, 6, 6, 7, 7, 7, 8}},
        ByteMapCase{"DataNameAsMemoryAndAsConstant",
                    {"set 1", "mov $1,count", "add [count]", "out $1", "stop", "dd count,5"},
                    {1, 1, 2, 2, 2, 3, 3, 4, 4, 5, 6},
                    {1, 1, 2, 2, 2, 3, 3, 4, 4, 5, 6}},
        // Listing lines without bytes (nop, dd buf) count as listing lines but hold no byte.
        ByteMapCase{"EmptyListingLinesAndWindowsText",
                    SplitLines("\r\nnop\r\ninc\r\ndd buf\r\n:a\r\n\r\ndd 7\r\nstop\r\n"),
                    {3, 7, 8},
                    {2, 4, 5}},
        ByteMapCase{"NothingEmitted", {"", "nop", ":a"}, {}, {}},
        // Comment lines are skipped: listing lines still name the program lines they came from.
        ByteMapCase{"CommentLinesSkipped", {"; header", "inc", "  ; between", "set 1", ";", "stop"},
                    {2, 4, 4, 6},
                    {1, 2, 2, 3}}),
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
