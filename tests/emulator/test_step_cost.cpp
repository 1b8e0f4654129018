// What one fetched byte costs: operand bytes read, step delay, register and memory hooks,
// for every byte value, with the page value zero and non-zero; and the one encoding that the
// translator's table and the machine both take their forms from.

#include "translator/Encoding.h"
#include "translator/InstructionTable.h"
#include "RecordingHooks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The operand bytes of each form as the encoding gives them; the machine must read exactly
// those. -1 for a byte of no form.
int OperandBytes(int byte)
{
    const TEncoding* form = EncodingOf(static_cast<std::uint8_t>(byte));
    return form ? form->OperandCount() : -1;
}

// Page acts even while passing over; the other instructions only with page 0.
bool Acts(int byte, bool paged)
{
    if (byte >= 2 && byte <= 4)
        return true;
    return byte > 1 && !paged && OperandBytes(byte) >= 0;
}

int ActingOperandBytes(int byte, bool paged) { return Acts(byte, paged) ? OperandBytes(byte) : 0; }

bool IsJump(int byte) { return byte >= 0x90 && byte <= 0x98; }

// Each row covers the sixteen bytes of one high hexadecimal digit, with page 0 and non-zero.
struct TCostCase {
    int highDigit;
};

// Every operand byte is 1, every register holds 1 and R1 is current, so each instruction runs
// without failing, and every jump target (the byte 1, R1, the byte at 1) is 1.
void Prepare(TMachineRig& rig, bool paged)
{
    rig.machine.Registers().fill(1);
    rig.machine.SetPage(paged ? 7 : 0);
    rig.hooks.inputs = {"1"};
}

void CheckCost(int byte, bool paged)
{
    const bool acts = Acts(byte, paged);
    const int operands = ActingOperandBytes(byte, paged);

    TMachineRig rig({static_cast<std::uint8_t>(byte), 1, 1});
    Prepare(rig, paged);
    const bool goesOn = rig.Step();

    if (byte == 0) {
        EXPECT_FALSE(goesOn);
        EXPECT_EQ(rig.hooks.events, std::vector<std::string>{"fetch 0"});
        return;
    }
    ASSERT_TRUE(goesOn);
    std::vector<std::string> tail = {"registers", "memory"};
    if (acts)
        tail.insert(tail.begin(), "delay");
    ASSERT_GE(rig.hooks.events.size(), tail.size() + 1);
    EXPECT_EQ(rig.hooks.events.front(), "fetch 0");
    EXPECT_EQ(std::vector<std::string>(rig.hooks.events.end() - static_cast<long>(tail.size()),
                                       rig.hooks.events.end()),
              tail);
    const std::int64_t expectedPosition = acts && IsJump(byte) ? 1 : 1 + operands;
    EXPECT_EQ(rig.image.Position(), expectedPosition);
}

// An instruction one operand byte short of its form takes no effect and ends the run; with
// exactly its operand bytes it runs.
void CheckMissingOperand(int byte, bool paged)
{
    const int operands = ActingOperandBytes(byte, paged);
    if (operands == 0)
        return;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(operands) + 1, 1);
    bytes.front() = static_cast<std::uint8_t>(byte);
    TMachineRig complete(bytes);
    Prepare(complete, paged);
    EXPECT_TRUE(complete.Step()) << "with every operand byte in the image";

    bytes.pop_back();
    TMachineRig rig(bytes);
    Prepare(rig, paged);
    EXPECT_FALSE(rig.Step());
    EXPECT_EQ(rig.hooks.events, std::vector<std::string>{"fetch 0"});
    EXPECT_EQ(rig.image.Bytes(), bytes);
    for (const std::int32_t value : rig.machine.Registers())
        EXPECT_EQ(value, 1);
    EXPECT_EQ(rig.machine.Current(), 0);
    EXPECT_EQ(rig.machine.Page(), paged ? 7 : 0);
}

class StepCost : public ::testing::TestWithParam<TCostCase> {};

TEST_P(StepCost, OperandsDelayAndHooks)
{
    for (int byte = GetParam().highDigit * 16; byte < GetParam().highDigit * 16 + 16; ++byte) {
        for (const bool paged : {false, true}) {
            SCOPED_TRACE(testing::Message() << "byte " << byte << (paged ? " passed over" : ""));
            CheckCost(byte, paged);
            CheckMissingOperand(byte, paged);
        }
    }
}

std::vector<TCostCase> AllDigits()
{
    std::vector<TCostCase> cases;
    for (int digit = 0; digit < 16; ++digit)
        cases.push_back({digit});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryByte, StepCost, ::testing::ValuesIn(AllDigits()),
                         [](const ::testing::TestParamInfo<TCostCase>& row) {
                             char name[16];
                             std::snprintf(name, sizeof name, "Bytes%Xx", row.param.highDigit);
                             return std::string(name);
                         });

// The translator's table, the machine's operand counts and the lookup by opcode all come from
// the one encoding: row for row, and nothing for the bytes it leaves out.
TEST(Encoding, TableAndMachineAgreeRowForRow)
{
    TInstructionTable table;
    FillInstructionTable(table);
    ASSERT_EQ(table.Rows().size(), InstructionEncoding.size());
    for (std::size_t i = 0; i < InstructionEncoding.size(); ++i) {
        const TEncoding& form = InstructionEncoding[i];
        const TOpCode& row = table.Rows()[i];
        SCOPED_TRACE(testing::Message() << "row " << i << ": " << row.Mnemonic << " " << row.Pattern);
        EXPECT_EQ(row.Opcode, form.Opcode);
        EXPECT_EQ(row.Mnemonic, form.Mnemonic);
        EXPECT_EQ(row.Pattern, form.Pattern);
        EXPECT_EQ(row.FirstOperand, form.OperandCount() >= 1);
        EXPECT_EQ(row.SecondOperand, form.OperandCount() >= 2);
        EXPECT_EQ(OperandCounts[form.Opcode], form.OperandCount());
        EXPECT_EQ(EncodingOf(form.Opcode), &form);
        EXPECT_EQ(table.FindOpcode(form.Opcode), &row);
        EXPECT_FALSE(form.Summary.empty());
    }
    int unlisted = 0;
    for (int byte = 0; byte < 256; ++byte) {
        if (table.FindOpcode(byte) != nullptr)
            continue;
        ++unlisted;
        EXPECT_EQ(EncodingOf(static_cast<std::uint8_t>(byte)), nullptr) << "byte " << byte;
        EXPECT_EQ(OperandCounts[static_cast<std::uint8_t>(byte)], -1) << "byte " << byte;
    }
    EXPECT_EQ(unlisted, 256 - 92);
}

} // namespace
