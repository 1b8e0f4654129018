// What one fetched byte costs: operand bytes read, step delay, register and memory hooks,
// for every byte value, with the page value zero and non-zero.

#include "RecordingHooks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

// Every instruction form by opcode and operand pattern, as the instruction table lists them.
const std::map<int, std::string>& Forms()
{
    static const std::map<int, std::string> forms = {
        {0x00, ""},   {0x01, ""},   {0x02, "C"},  {0x03, "R"},  {0x04, "M"},
        {0x10, "CC"}, {0x11, "C"},  {0x12, "RR"}, {0x13, "R"},  {0x14, "MM"}, {0x15, "M"},
        {0x16, ""},   {0x20, "CC"}, {0x21, "C"},  {0x22, "RR"}, {0x23, "R"},  {0x24, "MM"},
        {0x25, "M"},  {0x26, ""},   {0x30, "CR"}, {0x31, "CC"}, {0x32, "RR"}, {0x34, "MM"},
        {0x33, "RR"}, {0x35, "MM"}, {0x40, "C"},  {0x41, "CC"}, {0x42, "R"},  {0x43, "RR"},
        {0x44, "M"},  {0x45, "MM"}, {0x50, "CC"}, {0x51, "C"},  {0x52, ""},   {0x53, "RR"},
        {0x54, "R"},  {0x55, "MM"}, {0x56, "M"},  {0x57, "CC"}, {0x58, "C"},  {0x59, ""},
        {0x5A, "RR"}, {0x5B, "R"},  {0x5C, "MM"}, {0x5D, "M"},  {0x60, "C"},  {0x61, "S"},
        {0x62, "R"},  {0x63, "M"},  {0x64, "CC"}, {0x65, "C"},  {0x66, "S"},  {0x67, "RR"},
        {0x68, "R"},  {0x69, "MM"}, {0x6A, "M"},  {0x70, "RR"}, {0x71, "RM"}, {0x72, "MM"},
        {0x73, "MR"}, {0x74, "C"},  {0x75, "M"},  {0x76, "R"},  {0x77, "RC"}, {0x78, "MC"},
        {0x80, "MM"}, {0x81, "RR"}, {0x82, "M"},  {0x83, "R"},  {0xF0, "C"},  {0xF1, "R"},
        {0xF2, "M"},  {0xF3, "C"},  {0xF4, "R"},  {0xF5, "M"},  {0xF6, "M"},  {0xF7, "R"},
        {0x90, "C"},  {0x91, "R"},  {0x92, "M"},  {0x93, "CC"}, {0x94, "RR"}, {0x95, "MM"},
        {0x96, "CC"}, {0x97, "RR"}, {0x98, "MM"}, {0xA0, "RC"}, {0xA1, "RR"}, {0xA2, "MM"},
        {0xA3, "MC"}, {0xA4, "MR"}, {0xA5, "RM"},
    };
    return forms;
}

int OperandBytes(const std::string& pattern) { return pattern == "S" ? 0 : static_cast<int>(pattern.size()); }

// Page acts even while passing over; the other instructions only with page 0.
bool Acts(int byte, bool paged)
{
    if (byte >= 2 && byte <= 4)
        return true;
    return byte > 1 && !paged && Forms().count(byte) > 0;
}

int ActingOperandBytes(int byte, bool paged) { return Acts(byte, paged) ? OperandBytes(Forms().at(byte)) : 0; }

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
        EXPECT_EQ(rig.hooks.events, std::vector<std::string>{"position 1"});
        return;
    }
    ASSERT_TRUE(goesOn);
    std::vector<std::string> tail = {"registers", "memory"};
    if (acts)
        tail.insert(tail.begin(), "delay");
    ASSERT_GE(rig.hooks.events.size(), tail.size() + 1);
    EXPECT_EQ(rig.hooks.events.front(), "position 1");
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
    EXPECT_EQ(rig.hooks.events, std::vector<std::string>{"position 1"});
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

} // namespace
