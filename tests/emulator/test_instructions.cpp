// One instruction at a time: its effect on registers, memory, position and output, and the
// failures that end a run without writing anything.

#include "RecordingHooks.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <utility>

namespace {

constexpr std::int32_t Min32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Max32 = std::numeric_limits<std::int32_t>::max();

using TRegisterValues = std::vector<std::pair<int, std::int32_t>>; // register number, value
using TByteValues = std::vector<std::pair<int, int>>;              // address, byte

struct TInstructionCase {
    const char* name{};
    std::vector<std::uint8_t> image{};
    TRegisterValues before{};
    int current = 0;
    std::vector<std::string> input{};
    TRegisterValues after{};     // registers that change; all others must keep their value
    int currentAfter = -1;     // -1: unchanged
    TByteValues written{};       // bytes that change; the image grows with zeros to reach them
    std::optional<std::int64_t> position{}; // none: the end of the image
    std::vector<std::string> output{};
};

void PrintTo(const TInstructionCase& c, std::ostream* os) { *os << c.name; }

class Instruction : public ::testing::TestWithParam<TInstructionCase> {};

TEST_P(Instruction, TakesItsEffect)
{
    const TInstructionCase& c = GetParam();
    TMachineRig rig(c.image);
    TRegisterFile expected{};
    for (const auto& [number, value] : c.before)
        rig.machine.Registers()[static_cast<std::size_t>(number - 1)] = value;
    expected = rig.machine.Registers();
    for (const auto& [number, value] : c.after)
        expected[static_cast<std::size_t>(number - 1)] = value;
    rig.machine.SetCurrent(static_cast<std::uint8_t>(c.current));
    rig.hooks.inputs.assign(c.input.begin(), c.input.end());
    std::vector<std::uint8_t> expectedImage = c.image;
    for (const auto& [address, value] : c.written) {
        if (static_cast<std::size_t>(address) >= expectedImage.size())
            expectedImage.resize(static_cast<std::size_t>(address) + 1, 0);
        expectedImage[static_cast<std::size_t>(address)] = static_cast<std::uint8_t>(value);
    }

    ASSERT_TRUE(rig.Step());
    EXPECT_EQ(rig.machine.Registers(), expected);
    EXPECT_EQ(rig.machine.Current(), c.currentAfter < 0 ? c.current : c.currentAfter);
    EXPECT_EQ(rig.image.Bytes(), expectedImage);
    EXPECT_EQ(rig.image.Position(), c.position.value_or(static_cast<std::int64_t>(c.image.size())));
    EXPECT_EQ(rig.hooks.outputs, c.output);
    EXPECT_EQ(rig.hooks.shownRegisters, expected) << "the register hook shows the new values";
}

// clang-format off
const TInstructionCase InstructionCases[] = {
    // Add and Inc
    {.name = "AddCCDoesNotWrapAtEightBits", .image = {0x10, 200, 100}, .after = {{1, 300}}},
    {.name = "AddCAddsToCurrent", .image = {0x11, 7}, .before = {{1, 5}}, .after = {{1, 12}}},
    {.name = "AddCWrapsAtThirtyTwoBits", .image = {0x11, 1}, .before = {{1, Max32}}, .after = {{1, Min32}}},
    {.name = "AddRRSumsTwoRegisters", .image = {0x12, 2, 3}, .before = {{2, 3}, {3, -4}}, .after = {{1, -1}}},
    {.name = "AddRByteZeroIsCurrent", .image = {0x13, 0}, .before = {{4, 21}}, .current = 3, .after = {{4, 42}}},
    {.name = "AddMMWidensBytes", .image = {0x14, 3, 4, 200, 100}, .after = {{1, 300}}, .position = 3},
    {.name = "AddMToCurrent", .image = {0x15, 2, 255}, .before = {{1, 1}}, .after = {{1, 256}}, .position = 2},
    {.name = "IncWraps", .image = {0x16}, .before = {{1, Max32}}, .after = {{1, Min32}}},
    // Sub and Dec
    {.name = "SubCCGoesNegative", .image = {0x20, 1, 2}, .after = {{1, -1}}},
    {.name = "SubCFromCurrent", .image = {0x21, 10}, .before = {{1, 3}}, .after = {{1, -7}}},
    {.name = "SubRR", .image = {0x22, 2, 3}, .before = {{2, 10}, {3, 4}}, .after = {{1, 6}}},
    {.name = "SubR", .image = {0x23, 2}, .before = {{1, 1}, {2, 5}}, .after = {{1, -4}}},
    {.name = "SubMM", .image = {0x24, 3, 4, 100, 200}, .after = {{1, -100}}, .position = 3},
    {.name = "SubM", .image = {0x25, 2, 9}, .before = {{1, 10}}, .after = {{1, 1}}, .position = 2},
    {.name = "DecWraps", .image = {0x26}, .before = {{1, Min32}}, .after = {{1, Max32}}},
    // Div and iDiv, with the second results of 48, 50 and 52
    {.name = "DivCCTruncates", .image = {0x31, 7, 2}, .after = {{1, 3}}},
    {.name = "DivCRRemainderHasSignOfDividend", .image = {0x30, 2, 2}, .before = {{1, -7}}, .after = {{1, -3}, {2, -1}}},
    {.name = "DivCRSecondResultIntoCurrent", .image = {0x30, 2, 0}, .before = {{1, 7}}, .after = {{1, 1}}},
    // 10 div 3: the second result is the new quotient 3 mod 3, not the old 10 mod 3.
    {.name = "DivCRSecondFromTheNewQuotient", .image = {0x30, 3, 2}, .before = {{1, 10}, {2, 99}}, .after = {{1, 3}, {2, 0}}},
    {.name = "DivCRSecondIntoCurrentByItsNumber", .image = {0x30, 3, 1}, .before = {{1, 10}}, .after = {{1, 0}}},
    {.name = "DivRRRemainderByOldSecond", .image = {0x32, 2, 3}, .before = {{1, 100}, {2, 7}, {3, 5}}, .after = {{1, 14}, {3, 4}}},
    {.name = "DivRRSameRegisterTwice", .image = {0x32, 2, 2}, .before = {{1, 100}, {2, 7}}, .after = {{1, 14}, {2, 0}}},
    {.name = "DivRRRemainderByMinusOneIsZero", .image = {0x32, 2, 3}, .before = {{1, Min32}, {2, 1}, {3, -1}}, .after = {{3, 0}}},
    {.name = "IDivRRNegative", .image = {0x33, 2, 3}, .before = {{2, -7}, {3, 2}}, .after = {{1, -3}}},
    {.name = "DivMMQuotientTwiceIntoByte", .image = {0x34, 4, 5, 0, 7, 0xEE}, .before = {{1, 100}}, .after = {{1, 14}}, .written = {{5, 2}}, .position = 3},
    {.name = "DivMMSecondKeepsLowByte", .image = {0x34, 3, 4, 2}, .before = {{1, 2000}}, .after = {{1, 1000}}, .written = {{4, 500 & 0xFF}}, .position = 3},
    {.name = "IDivMMOfBytes", .image = {0x35, 3, 4, 200, 7}, .after = {{1, 28}}, .position = 3},
    // Mul
    {.name = "MulCSigned", .image = {0x40, 7}, .before = {{1, -3}}, .after = {{1, -21}}},
    {.name = "MulCC", .image = {0x41, 255, 255}, .after = {{1, 65025}}},
    {.name = "MulR", .image = {0x42, 2}, .before = {{1, 6}, {2, -7}}, .after = {{1, -42}}},
    {.name = "MulRRKeepsLow32Bits", .image = {0x43, 2, 3}, .before = {{2, 65536}, {3, 65536}}, .after = {{1, 0}}},
    {.name = "MulM", .image = {0x44, 2, 3}, .before = {{1, 5}}, .after = {{1, 15}}, .position = 2},
    {.name = "MulMM", .image = {0x45, 3, 4, 16, 16}, .after = {{1, 256}}, .position = 3},
    // And, Or, XOr
    {.name = "AndCC", .image = {0x50, 0xF0, 0x3C}, .after = {{1, 0x30}}},
    {.name = "AndC", .image = {0x51, 0x0F}, .before = {{1, 0xFF00FF}}, .after = {{1, 0x0F}}},
    {.name = "AndWithoutOperandsChangesNothing", .image = {0x52}, .before = {{1, -5}, {2, 9}}},
    {.name = "AndRR", .image = {0x53, 2, 3}, .before = {{2, 6}, {3, 3}}, .after = {{1, 2}}},
    {.name = "AndR", .image = {0x54, 2}, .before = {{1, -1}, {2, 12}}, .after = {{1, 12}}},
    {.name = "AndMM", .image = {0x55, 3, 4, 0xF0, 0x3C}, .after = {{1, 0x30}}, .position = 3},
    {.name = "AndM", .image = {0x56, 2, 0x0F}, .before = {{1, 0x1FF}}, .after = {{1, 0x0F}}, .position = 2},
    {.name = "OrCC", .image = {0x57, 0xF0, 0x0F}, .after = {{1, 0xFF}}},
    {.name = "OrC", .image = {0x58, 1}, .before = {{1, 0x100}}, .after = {{1, 0x101}}},
    {.name = "OrWithoutOperandsChangesNothing", .image = {0x59}, .before = {{1, 1234}}},
    {.name = "OrRR", .image = {0x5A, 2, 3}, .before = {{2, 1}, {3, 2}}, .after = {{1, 3}}},
    {.name = "OrR", .image = {0x5B, 2}, .before = {{1, 4}, {2, 1}}, .after = {{1, 5}}},
    {.name = "OrMMIsOpcode92", .image = {0x5C, 3, 4, 0x10, 0x01}, .after = {{1, 0x11}}, .position = 3},
    {.name = "OrMIsOpcode93", .image = {0x5D, 2, 0x80}, .before = {{1, 1}}, .after = {{1, 0x81}}, .position = 2},
    {.name = "XOrCC", .image = {0x64, 0xFF, 0x0F}, .after = {{1, 0xF0}}},
    {.name = "XOrC", .image = {0x65, 0xFF}, .before = {{1, -1}}, .after = {{1, ~0xFF}}},
    {.name = "XOrSLeavesZero", .image = {0x66}, .before = {{1, 12345}}, .after = {{1, 0}}},
    {.name = "XOrRR", .image = {0x67, 2, 3}, .before = {{2, 6}, {3, 3}}, .after = {{1, 5}}},
    {.name = "XOrR", .image = {0x68, 2}, .before = {{1, 6}, {2, 6}}, .after = {{1, 0}}},
    {.name = "XOrMM", .image = {0x69, 3, 4, 0xAA, 0x0F}, .after = {{1, 0xA5}}, .position = 3},
    {.name = "XOrM", .image = {0x6A, 2, 0x01}, .before = {{1, 3}}, .after = {{1, 2}}, .position = 2},
    // Not
    {.name = "NotCOfZeroIs255", .image = {0x60, 0}, .after = {{1, 255}}},
    {.name = "NotSOfZeroIsMinusOne", .image = {0x61}, .after = {{1, -1}}},
    {.name = "NotRComplements32Bits", .image = {0x62, 2}, .before = {{2, 0x0F}}, .after = {{1, ~0x0F}}},
    {.name = "NotMOf255IsZero", .image = {0x63, 2, 255}, .before = {{1, 9}}, .after = {{1, 0}}, .position = 2},
    // Mov
    {.name = "MovRR", .image = {0x70, 2, 3}, .before = {{3, 77}}, .after = {{2, 77}}},
    {.name = "MovRMLoadsByteUnsigned", .image = {0x71, 2, 3, 200}, .after = {{2, 200}}, .position = 3},
    {.name = "MovMM", .image = {0x72, 3, 4, 0, 9}, .written = {{3, 9}}, .position = 3},
    {.name = "MovMRWritesLowByte", .image = {0x73, 3, 2, 0}, .before = {{2, 0x1234}}, .written = {{3, 0x34}}, .position = 3},
    {.name = "MovC", .image = {0x74, 99}, .after = {{1, 99}}},
    {.name = "MovM", .image = {0x75, 2, 250}, .before = {{1, -1}}, .after = {{1, 250}}, .position = 2},
    {.name = "MovR", .image = {0x76, 15}, .before = {{15, -8}}, .after = {{1, -8}}},
    {.name = "MovRCByteZeroWritesCurrent", .image = {0x77, 0, 9}, .current = 4, .after = {{5, 9}}},
    {.name = "MovMC", .image = {0x78, 3, 77, 0}, .written = {{3, 77}}, .position = 3},
    // Xch
    {.name = "XchMM", .image = {0x80, 3, 4, 1, 2}, .written = {{3, 2}, {4, 1}}, .position = 3},
    {.name = "XchRR", .image = {0x81, 1, 2}, .before = {{1, 1}, {2, 2}}, .after = {{1, 2}, {2, 1}}},
    {.name = "XchMKeepsLowByteAndWidens", .image = {0x82, 2, 0x56}, .before = {{1, 0x1234}}, .after = {{1, 0x56}}, .written = {{2, 0x34}}, .position = 2},
    {.name = "XchR", .image = {0x83, 3}, .before = {{1, 5}, {3, 8}}, .after = {{1, 8}, {3, 5}}},
    // Jmp, Jin, Jig
    {.name = "JmpC", .image = {0x90, 7}, .position = 7},
    {.name = "JmpRToNegative", .image = {0x91, 2}, .before = {{2, -3}}, .position = -3},
    {.name = "JmpRFullValue", .image = {0x91, 2}, .before = {{2, 100000}}, .position = 100000},
    {.name = "JmpMByte", .image = {0x92, 2, 200}, .position = 200},
    {.name = "JinCCZeroTakesFirst", .image = {0x93, 16, 5}, .position = 16},
    {.name = "JinCCNonZeroTakesSecond", .image = {0x93, 16, 5}, .before = {{1, 1}}, .position = 5},
    {.name = "JinRR", .image = {0x94, 2, 3}, .before = {{2, 40}, {3, 50}}, .position = 40},
    {.name = "JinMM", .image = {0x95, 3, 4, 40, 50}, .before = {{1, -1}}, .position = 50},
    {.name = "JigCCZeroTakesSecond", .image = {0x96, 16, 5}, .position = 5},
    {.name = "JigCCPositiveTakesFirst", .image = {0x96, 16, 5}, .before = {{1, 1}}, .position = 16},
    {.name = "JigCCMinusOneTakesSecond", .image = {0x96, 16, 5}, .before = {{1, -1}}, .position = 5},
    {.name = "JigRR", .image = {0x97, 2, 3}, .before = {{1, 7}, {2, 40}, {3, 50}}, .position = 40},
    {.name = "JigMM", .image = {0x98, 3, 4, 40, 50}, .before = {{1, 2}}, .position = 40},
    // Cmp
    {.name = "CmpRCMinusOneBelow255", .image = {0xA0, 2, 255}, .before = {{2, -1}}, .after = {{1, -1}}},
    {.name = "CmpRCOverwritesCurrentOperand", .image = {0xA0, 0, 3}, .before = {{1, 5}}, .after = {{1, 1}}},
    {.name = "CmpRRRegisterWithItself", .image = {0xA1, 2, 2}, .before = {{1, 9}, {2, 5}}, .after = {{1, 0}}},
    {.name = "CmpMMBytesUnsigned", .image = {0xA2, 3, 4, 200, 100}, .after = {{1, 1}}, .position = 3},
    {.name = "CmpMC", .image = {0xA3, 3, 7, 7}, .before = {{1, 4}}, .after = {{1, 0}}, .position = 3},
    {.name = "CmpMR", .image = {0xA4, 3, 2, 1}, .before = {{2, 2}}, .after = {{1, -1}}, .position = 3},
    {.name = "CmpRM", .image = {0xA5, 2, 3, 1}, .before = {{2, 2}}, .after = {{1, 1}}, .position = 3},
    // Set
    {.name = "SetC1SelectsR1", .image = {0xF0, 1}, .current = 3, .currentAfter = 0},
    {.name = "SetC3SelectsR3", .image = {0xF0, 3}, .currentAfter = 2},
    {.name = "SetC0SelectsIndex255", .image = {0xF0, 0}, .currentAfter = 255},
    {.name = "SetRIsZeroBased", .image = {0xF1, 2}, .before = {{2, 1}}, .currentAfter = 1},
    {.name = "SetRUsesLowByte", .image = {0xF1, 2}, .before = {{2, 0x10E}}, .currentAfter = 14},
    {.name = "SetMOfZeroSelectsR1", .image = {0xF2, 2, 0}, .current = 5, .currentAfter = 0, .position = 2},
    {.name = "SetROutsideTheFileIsAllowed", .image = {0xF1, 2}, .before = {{2, 15}}, .currentAfter = 15},
    // Out and In
    {.name = "OutC", .image = {0xF3, 7}, .output = {"7"}},
    {.name = "OutCZero", .image = {0xF3, 0}, .output = {"0"}},
    {.name = "OutRNegative", .image = {0xF4, 2}, .before = {{2, -5}}, .output = {"-5"}},
    {.name = "OutRMinimum", .image = {0xF4, 0}, .before = {{1, Min32}}, .output = {"-2147483648"}},
    {.name = "OutMUnsigned", .image = {0xF5, 2, 200}, .position = 2, .output = {"200"}},
    {.name = "InMKeepsLowByte", .image = {0xF6, 2, 0}, .input = {"300"}, .written = {{2, 44}}, .position = 2},
    {.name = "InRKeepsFullValue", .image = {0xF7, 2}, .input = {"300"}, .after = {{2, 300}}},
    {.name = "InRNegative", .image = {0xF7, 0}, .input = {"-2147483648"}, .after = {{1, Min32}}},
    {.name = "InRHexadecimal", .image = {0xF7, 3}, .input = {"$1F"}, .after = {{3, 31}}},
    // Reset and Page that go on
    {.name = "Reset169DoesNothing", .image = {0x01}, .before = {{1, 169}}},
    {.name = "Reset171DoesNothing", .image = {0x01}, .before = {{1, 171}}},
    {.name = "Reset170InAnotherRegisterDoesNothing", .image = {0x01}, .before = {{2, 170}}},
    // Memory operands beyond the end of the image
    {.name = "ReadBeyondEndIsZero", .image = {0x15, 200}, .before = {{1, 5}}},
    {.name = "WriteBeyondEndExtendsWithZeros", .image = {0x78, 5, 9}, .written = {{5, 9}}, .position = 3},
    {.name = "InMBeyondEndExtends", .image = {0xF6, 4}, .input = {"-1"}, .written = {{4, 255}}, .position = 2},
    {.name = "XchMMBeyondEndReadsZeroAndExtends", .image = {0x80, 2, 5}, .written = {{2, 0}, {5, 5}}, .position = 3},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Opcodes, Instruction, ::testing::ValuesIn(InstructionCases),
                         [](const ::testing::TestParamInfo<TInstructionCase>& row) { return row.param.name; });

struct TFaultCase {
    const char* name{};
    std::vector<std::uint8_t> image{};
    TRegisterValues before{};
    int current = 0;
    std::vector<std::string> input{};
    TFaultKind kind{};
    bool asksInput = false;
};

void PrintTo(const TFaultCase& c, std::ostream* os) { *os << c.name; }

class Fault : public ::testing::TestWithParam<TFaultCase> {};

TEST_P(Fault, EndsTheStepWithoutWriting)
{
    const TFaultCase& c = GetParam();
    TMachineRig rig(c.image);
    for (const auto& [number, value] : c.before)
        rig.machine.Registers()[static_cast<std::size_t>(number - 1)] = value;
    rig.machine.SetCurrent(static_cast<std::uint8_t>(c.current));
    rig.hooks.inputs.assign(c.input.begin(), c.input.end());
    const TRegisterFile registersBefore = rig.machine.Registers();

    try {
        rig.Step();
        FAIL() << "no fault";
    } catch (const EMachineFault& fault) {
        EXPECT_EQ(fault.Kind(), c.kind);
        EXPECT_EQ(fault.Address(), 0);
    }
    EXPECT_EQ(rig.machine.Registers(), registersBefore);
    EXPECT_EQ(rig.image.Bytes(), c.image);
    EXPECT_EQ(rig.image.Position(), 1) << "just after the failing opcode byte";
    std::vector<std::string> events = {"fetch 0"};
    if (c.asksInput)
        events.push_back("input");
    EXPECT_EQ(rig.hooks.events, events) << "no delay and no register or memory hook";
}

// clang-format off
const TFaultCase FaultCases[] = {
    {.name = "DivCCByZero", .image = {0x31, 5, 0}, .kind = TFaultKind::DivisionByZero},
    {.name = "DivCRByZero", .image = {0x30, 0, 2}, .before = {{1, 9}}, .kind = TFaultKind::DivisionByZero},
    {.name = "DivRRByZero", .image = {0x32, 2, 3}, .before = {{1, 9}, {3, 5}}, .kind = TFaultKind::DivisionByZero},
    {.name = "DivRRZeroOldSecondWritesNoQuotient", .image = {0x32, 2, 3}, .before = {{1, 10}, {2, 2}}, .kind = TFaultKind::DivisionByZero},
    {.name = "DivRROverflow", .image = {0x32, 2, 3}, .before = {{1, Min32}, {2, -1}, {3, 1}}, .kind = TFaultKind::DivisionOverflow},
    {.name = "IDivRRByZero", .image = {0x33, 2, 3}, .before = {{2, 4}}, .kind = TFaultKind::DivisionByZero},
    {.name = "IDivRROverflow", .image = {0x33, 2, 3}, .before = {{2, Min32}, {3, -1}}, .kind = TFaultKind::DivisionOverflow},
    {.name = "DivMMByZeroByte", .image = {0x34, 3, 4, 0, 9}, .before = {{1, 50}}, .kind = TFaultKind::DivisionByZero},
    {.name = "DivMMByByteBeyondEnd", .image = {0x34, 100, 4}, .before = {{1, 50}}, .kind = TFaultKind::DivisionByZero},
    {.name = "IDivMMByZero", .image = {0x35, 3, 4, 7, 0}, .kind = TFaultKind::DivisionByZero},
    {.name = "InREmptyText", .image = {0xF7, 2}, .input = {""}, .kind = TFaultKind::BadInput, .asksInput = true},
    {.name = "InRLetters", .image = {0xF7, 2}, .input = {"abc"}, .kind = TFaultKind::BadInput, .asksInput = true},
    {.name = "InRTooLarge", .image = {0xF7, 2}, .input = {"2147483648"}, .kind = TFaultKind::BadInput, .asksInput = true},
    {.name = "InMTrailingText", .image = {0xF6, 2, 0}, .input = {"12x"}, .kind = TFaultKind::BadInput, .asksInput = true},
    {.name = "RegisterByte16", .image = {0x13, 16}, .kind = TFaultKind::RegisterOutOfRange},
    {.name = "RegisterByte255AsDestination", .image = {0x77, 255, 1}, .kind = TFaultKind::RegisterOutOfRange},
    {.name = "CurrentIndex15", .image = {0x16}, .current = 15, .kind = TFaultKind::RegisterOutOfRange},
    {.name = "CurrentIndex255ViaByteZero", .image = {0x70, 0, 1}, .current = 255, .kind = TFaultKind::RegisterOutOfRange},
    {.name = "ResetReadsCurrent", .image = {0x01}, .current = 20, .kind = TFaultKind::RegisterOutOfRange},
    {.name = "PageRRegisterByte16", .image = {0x03, 16}, .kind = TFaultKind::RegisterOutOfRange},
    {.name = "SetRFromRegisterByte16", .image = {0xF1, 16}, .kind = TFaultKind::RegisterOutOfRange},
    {.name = "InRCheckedBeforeAsking", .image = {0xF7, 16}, .input = {"5"}, .kind = TFaultKind::RegisterOutOfRange},
    {.name = "OutRRegisterByte200", .image = {0xF4, 200}, .kind = TFaultKind::RegisterOutOfRange},
    {.name = "JigTestsCurrentOutOfRange", .image = {0x96, 1, 2}, .current = 100, .kind = TFaultKind::RegisterOutOfRange},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Failures, Fault, ::testing::ValuesIn(FaultCases),
                         [](const ::testing::TestParamInfo<TFaultCase>& row) { return row.param.name; });

TEST(FaultMessage, NamesKindAndOpcodeAddress)
{
    TMachineRig rig({0x16, 0x31, 5, 0});
    ASSERT_TRUE(rig.Step());
    try {
        rig.Step();
        FAIL() << "no fault";
    } catch (const EMachineFault& fault) {
        EXPECT_EQ(fault.Address(), 1);
        EXPECT_STREQ(fault.what(), "Division by zero at address 1");
    }
}

TEST(FaultMessage, BadInputKeepsTheConversionMessage)
{
    TMachineRig rig({0xF7, 1});
    rig.hooks.inputs = {"seven"};
    try {
        rig.Step();
        FAIL() << "no fault";
    } catch (const EMachineFault& fault) {
        EXPECT_EQ(fault.Kind(), TFaultKind::BadInput);
        EXPECT_STREQ(fault.what(), "Input is not an integer at address 0: 'seven' is not a valid integer value");
    }
}

} // namespace
