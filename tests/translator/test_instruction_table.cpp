#include "translator/InstructionTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

TInstructionTable FilledTable()
{
    TInstructionTable table;
    FillInstructionTable(table);
    return table;
}

TEST(InstructionTable, HoldsNinetyTwoDistinctForms)
{
    const TInstructionTable table = FilledTable();
    ASSERT_EQ(table.Rows().size(), 92u);
    std::set<std::int64_t> opcodes;
    std::set<std::pair<std::string, std::string>> forms;
    for (const TOpCode& row : table.Rows()) {
        opcodes.insert(row.Opcode);
        forms.insert({row.Mnemonic, row.Pattern});
    }
    EXPECT_EQ(opcodes.size(), 92u);
    EXPECT_EQ(forms.size(), 92u);
}

TEST(InstructionTable, FlagsFollowThePatternExceptTheSForms)
{
    const TInstructionTable table = FilledTable();
    for (const TOpCode& row : table.Rows()) {
        SCOPED_TRACE(row.Mnemonic + " " + row.Pattern);
        if (row.Pattern == "S") {
            EXPECT_TRUE(row.Opcode == 97 || row.Opcode == 102);
            EXPECT_FALSE(row.FirstOperand);
            EXPECT_FALSE(row.SecondOperand);
        } else {
            EXPECT_EQ(row.FirstOperand, !row.Pattern.empty());
            EXPECT_EQ(row.SecondOperand, row.Pattern.size() == 2);
        }
    }
}

TEST(InstructionTable, UnlistedBytesBelongToNoForm)
{
    const std::vector<std::pair<int, int>> unlisted = {
        {5, 15},    {23, 31},   {39, 47},   {54, 63},   {70, 79},   {94, 95},
        {107, 111}, {121, 127}, {132, 143}, {153, 159}, {166, 239}, {248, 255}};
    std::set<int> free;
    for (const auto& [from, to] : unlisted)
        for (int b = from; b <= to; ++b)
            free.insert(b);
    const TInstructionTable table = FilledTable();
    for (int b = 0; b < 256; ++b) {
        const TOpCode* row = table.FindOpcode(b);
        EXPECT_EQ(row == nullptr, free.count(b) == 1) << "byte " << b;
        if (row != nullptr) {
            EXPECT_EQ(row->Opcode, b);
        }
    }
    EXPECT_EQ(table.FindOpcode(-1), nullptr);
    EXPECT_EQ(table.FindOpcode(256), nullptr);
}

TEST(InstructionTable, DivisionRowsInterleave)
{
    const TInstructionTable table = FilledTable();
    std::vector<std::string> order;
    for (const TOpCode& row : table.Rows())
        if (row.Mnemonic == "Div" || row.Mnemonic == "iDiv")
            order.push_back(row.Mnemonic + " " + row.Pattern);
    EXPECT_EQ(order, (std::vector<std::string>{"Div CR", "Div CC", "Div RR", "iDiv RR", "Div MM",
                                               "iDiv MM"}));
    EXPECT_EQ(table.Rows().front().Mnemonic, "Stop");
    EXPECT_EQ(table.Rows().back().Opcode, 165);
}

struct LookupCase {
    std::string name;
    std::string mnemonic, first, second, pattern;
    std::string result;
};

class RowLookup : public ::testing::TestWithParam<LookupCase> {};

TEST_P(RowLookup, GivesListingTextOrNothing)
{
    static const TInstructionTable table = FilledTable();
    const LookupCase& c = GetParam();
    EXPECT_EQ(table.Lookup(c.mnemonic, c.first, c.second, c.pattern), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, RowLookup,
    ::testing::Values(
        LookupCase{"MnemonicCaseIgnored", "ADD", "0A", "", "C", "110a"},
        LookupCase{"PatternCaseIgnored", "add", "0A", "", "c", "110a"},
        LookupCase{"ResultLowerCased", "Mov", "0A", "FF", "MC", "780aff"},
        LookupCase{"NoOperandForm", "and", "", "", "", "52"},
        LookupCase{"HighOpcode", "in", "01", "", "R", "f701"},
        LookupCase{"SecondOperandWithOneLetter", "add", "0A", "0B", "C", ""},
        LookupCase{"MissingSecondOperandWithTwoLetters", "add", "0A", "", "CC", ""},
        LookupCase{"SFormNeedsPatternS", "not", "", "", "", ""},
        LookupCase{"SFormWithPatternS", "xor", "", "", "S", "66"},
        LookupCase{"UnknownMnemonic", "nop", "", "", "", ""},
        LookupCase{"OnlyAToZFold", "\xC4" "dd", "01", "02", "CC", ""},
        LookupCase{"LongOperandBytesKept", "set", "12C", "", "C", "f012c"}),
    [](const auto& row) { return row.param.name; });

TEST(RowLookup, LaterDuplicateRowWins)
{
    TInstructionTable table;
    table.Add("Twin", "C", 1, true, false);
    table.Add("twin", "c", 2, true, false);
    table.Add("Twin", "C", 3, false, false);
    EXPECT_EQ(table.Lookup("TWIN", "05", "", "C"), "0205");
    EXPECT_EQ(table.Lookup("twin", "", "", "C"), "03");
    EXPECT_EQ(table.FindOpcode(2)->Mnemonic, "twin");
}

} // namespace
