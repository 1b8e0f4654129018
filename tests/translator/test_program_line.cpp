// How a program line comes apart: kind, first word, operand text and items, each a view into
// the line at its column, and the operands an instruction line is translated with.

#include "translator/ProgramLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TPart {
    std::size_t Column;
    std::string Text;
    bool operator==(const TPart&) const = default;
};

void PrintTo(const TPart& part, std::ostream* os) { *os << part.Column << ":'" << part.Text << "'"; }

struct TLineCase {
    std::string name;
    std::string line;
    TProgramLineKind kind;
    TPart mnemonic;
    TPart operandText;
    std::vector<TPart> items;
    std::vector<TPart> operands;  // as an instruction line reads them
};

void PrintTo(const TLineCase& c, std::ostream* os) { *os << c.name; }

class ProgramLineParts : public ::testing::TestWithParam<TLineCase> {};

TPart PartOf(const std::string& line, std::string_view view)
{
    // An empty view may point anywhere; it has no column.
    if (view.empty())
        return {0, ""};
    EXPECT_GE(view.data(), line.data());
    EXPECT_LE(view.data() + view.size(), line.data() + line.size());
    return {static_cast<std::size_t>(view.data() - line.data()), std::string(view)};
}

std::vector<TPart> PartsOf(const std::string& line, const std::vector<std::string_view>& views)
{
    std::vector<TPart> parts;
    for (const std::string_view view : views)
        parts.push_back(PartOf(line, view));
    return parts;
}

TEST_P(ProgramLineParts, AreViewsAtTheirColumns)
{
    const TLineCase& c = GetParam();
    const TProgramLine parts = ReadProgramLine(c.line);
    EXPECT_EQ(parts.Kind, c.kind);
    EXPECT_EQ(PartOf(c.line, parts.Mnemonic), c.mnemonic);
    EXPECT_EQ(PartOf(c.line, parts.OperandText), c.operandText);
    EXPECT_EQ(PartsOf(c.line, parts.Items), c.items);
    EXPECT_EQ(PartsOf(c.line, InstructionOperands(parts)), c.operands);
}

using K = TProgramLineKind;

const TLineCase LineCases[] = {
    {"Empty", "", K::Blank, {0, ""}, {0, ""}, {}, {}},
    {"BlanksAndControls", " \t\r ", K::Blank, {0, ""}, {0, ""}, {}, {}},
    {"MnemonicAlone", "  inc ", K::Instruction, {2, "inc"}, {0, ""}, {}, {}},
    {"TwoOperands", "xch $1,$2", K::Instruction, {0, "xch"}, {4, "$1,$2"},
     {{4, "$1"}, {7, "$2"}}, {{4, "$1"}, {7, "$2"}}},
    {"SeveralBlanksBeforeOperands", "set   5 ", K::Instruction, {0, "set"}, {6, "5"}, {{6, "5"}},
     {{6, "5"}}},
    {"ItemsAreNotTrimmed", "cmp $1, $2", K::Instruction, {0, "cmp"}, {4, "$1, $2"},
     {{4, "$1"}, {7, " $2"}}, {{4, "$1"}, {7, " $2"}}},
    {"StrayCommaStaysInTheOperand", "set 5,", K::Instruction, {0, "set"}, {4, "5,"}, {{4, "5"}},
     {{4, "5,"}}},
    {"EmptyItemsDropped", "xch $1,,$2", K::Instruction, {0, "xch"}, {4, "$1,,$2"},
     {{4, "$1"}, {8, "$2"}}, {{4, "$1"}, {8, "$2"}}},
    {"CommasAloneGiveNoOperands", "inc ,,", K::Instruction, {0, "inc"}, {4, ",,"}, {}, {}},
    {"ThreeItemsGiveNoOperands", "inc 1,2,3", K::Instruction, {0, "inc"}, {4, "1,2,3"},
     {{4, "1"}, {6, "2"}, {8, "3"}}, {}},
    {"TabIsNoSeparator", "set\t1", K::Instruction, {0, "set\t1"}, {0, ""}, {}, {}},
    {"TabBeforeTheBlankIsTrimmed", "set\t 1", K::Instruction, {0, "set"}, {5, "1"}, {{5, "1"}},
     {{5, "1"}}},
    {"LabelKeepsWhatFollows", ":loop inc $1", K::Label, {0, ":loop"}, {6, "inc $1"}, {}, {}},
    {"LabelAfterBlanks", "\t:start", K::Label, {1, ":start"}, {0, ""}, {}, {}},
    {"DataInAnyCase", "Dd count,5", K::Data, {0, "Dd"}, {3, "count,5"}, {{3, "count"}, {9, "5"}},
     {{3, "count"}, {9, "5"}}},
    {"DataItemsKeepBlanks", "dd count ,5", K::Data, {0, "dd"}, {3, "count ,5"},
     {{3, "count "}, {10, "5"}}, {{3, "count "}, {10, "5"}}},
    {"TabAfterDdMakesOneWord", "dd\tx,5", K::Instruction, {0, "dd\tx,5"}, {0, ""}, {}, {}},
    {"CommentAlone", ";", K::Comment, {0, ""}, {0, ""}, {}, {}},
    {"CommentAfterBlanksHasNoParts", " \t; set 1x, 2", K::Comment, {0, ""}, {0, ""}, {}, {}},
    {"SemicolonAfterTheFirstWordIsAnOperand", "inc ;one", K::Instruction, {0, "inc"},
     {4, ";one"}, {{4, ";one"}}, {{4, ";one"}}},
    {"SemicolonInsideTheFirstWord", "inc;x", K::Instruction, {0, "inc;x"}, {0, ""}, {}, {}},
    {"NulIsTrimmedAsAControlCharacter", std::string("\0a\0 b", 5), K::Instruction, {1, "a"},
     {4, "b"}, {{4, "b"}}, {{4, "b"}}},
};

INSTANTIATE_TEST_SUITE_P(Lines, ProgramLineParts, ::testing::ValuesIn(LineCases),
                         [](const auto& row) { return row.param.name; });

TEST(DataItems, ValueStartsWithADigit)
{
    EXPECT_TRUE(IsDataValue("5"));
    EXPECT_TRUE(IsDataValue("0ffh"));
    EXPECT_TRUE(IsDataValue("9x"));
    EXPECT_FALSE(IsDataValue(""));
    EXPECT_FALSE(IsDataValue(" 5"));
    EXPECT_FALSE(IsDataValue("count"));
    EXPECT_FALSE(IsDataValue("$5"));
}

} // namespace
