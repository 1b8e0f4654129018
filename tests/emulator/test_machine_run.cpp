// Whole runs of the machine: end conditions, passing over with a page value, the order of the
// hook calls, and random images that must never crash or misbehave.

#include "RecordingHooks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using TEvents = std::vector<std::string>;

TEST(MachineRun, SampleProgramCountsToTen)
{
    TMachineRig rig({0x11, 0x0A, 0x81, 0x01, 0x02, 0xF0, 0x01, 0x16, 0xF0, 0x03, 0xA1, 0x01,
                     0x02, 0x93, 0x10, 0x05, 0x00});
    rig.Run();
    EXPECT_EQ(rig.machine.OpcodeAddress(), 16) << "ends at the Stop byte";
    EXPECT_EQ(rig.machine.Registers()[0], 10);
    EXPECT_EQ(rig.machine.Registers()[1], 10);
    EXPECT_EQ(rig.machine.Registers()[2], 0);
    EXPECT_EQ(rig.machine.Current(), 2);
    EXPECT_TRUE(rig.hooks.outputs.empty());
    EXPECT_EQ(rig.hooks.events.back(), "fetch 16");
    EXPECT_EQ(rig.hooks.shownRegisters, rig.machine.Registers());
    EXPECT_EQ(rig.hooks.shownCurrent, 2);
}

struct TRunCase {
    const char* name;
    std::vector<std::uint8_t> image;
    TEvents events;                // every hook call of the whole run
    std::vector<std::uint8_t> end; // the image at the end
    std::int32_t r1 = 0;
    TMachineEnd reason = TMachineEnd::StopByte;
};

void PrintTo(const TRunCase& c, std::ostream* os) { *os << c.name; }

class Run : public ::testing::TestWithParam<TRunCase> {};

TEST_P(Run, MakesTheseHookCalls)
{
    const TRunCase& c = GetParam();
    TMachineRig rig(c.image);
    rig.hooks.inputs = {"5"};
    EXPECT_LT(rig.Run(100), 100) << "the run ends by itself";
    EXPECT_EQ(rig.hooks.events, c.events);
    EXPECT_EQ(rig.image.Bytes(), c.end);
    EXPECT_EQ(rig.machine.Registers()[0], c.r1);
    EXPECT_EQ(rig.machine.EndReason(), c.reason);
}

const TEvents Tail = {"registers", "memory"};
const TEvents Acts = {"delay", "registers", "memory"};

TEvents Join(std::initializer_list<TEvents> parts)
{
    TEvents all;
    for (const TEvents& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// clang-format off
const TRunCase RunCases[] = {
    {"EmptyImageCallsNoHook", {}, {}, {}, 0, TMachineEnd::EndOfImage},
    {"SingleStopHighlightsOnly", {0x00}, {"fetch 0"}, {0x00}},
    {"WithoutStopEndsAfterTheLastInstruction", {0x16},
     Join({{"fetch 0"}, Acts}), {0x16}, 1, TMachineEnd::EndOfImage},
    {"JumpBeyondEndEndsAtTheNextStep", {0x90, 0x50, 0x16},
     Join({{"fetch 0"}, Acts}), {0x90, 0x50, 0x16}, 0, TMachineEnd::EndOfImage},
    {"JumpToNegativePositionEnds", {0x21, 0x05, 0x94, 0x00, 0x00},
     Join({{"fetch 0"}, Acts, {"fetch 2"}, Acts}), {0x21, 0x05, 0x94, 0x00, 0x00}, -5, TMachineEnd::EndOfImage},
    // -1 lies just before the image: no step may read a byte there.
    {"JumpToMinusOneEnds", {0x26, 0x91, 0x00},
     Join({{"fetch 0"}, Acts, {"fetch 1"}, Acts}), {0x26, 0x91, 0x00}, -1, TMachineEnd::EndOfImage},
    {"JumpHighlightsTheTarget", {0x90, 0x03, 0x16, 0x00},
     Join({{"fetch 0"}, Acts, {"fetch 3"}}), {0x90, 0x03, 0x16, 0x00}},
    {"ResetWith170ClearsAndEnds", {0x74, 0xAA, 0x01, 0x16},
     Join({{"fetch 0"}, Acts, {"fetch 2"}}), {0, 0, 0, 0}, 170, TMachineEnd::Reset},
    {"ResetWith171GoesOnWithoutDelay", {0x74, 0xAB, 0x01, 0x00},
     Join({{"fetch 0"}, Acts, {"fetch 2"}, Tail, {"fetch 3"}}), {0x74, 0xAB, 0x01, 0x00}, 171},
    {"PassingOverIsSingleBytesWithoutDelay", {0x02, 0x01, 0x10, 0x05, 0x07, 0x02, 0x00, 0x16, 0x00},
     Join({{"fetch 0"}, Acts, {"fetch 2"}, Tail, {"fetch 3"}, Tail, {"fetch 4"}, Tail,
           {"fetch 5"}, Acts, {"fetch 7"}, Acts, {"fetch 8"}}),
     {0x02, 0x01, 0x10, 0x05, 0x07, 0x02, 0x00, 0x16, 0x00}, 1},
    {"PassedOverOperandActsAsPage", {0x02, 0x01, 0x10, 0x02, 0x05, 0x16, 0x02, 0x00, 0x16, 0x00},
     Join({{"fetch 0"}, Acts, {"fetch 2"}, Tail, {"fetch 3"}, Acts, {"fetch 5"}, Tail,
           {"fetch 6"}, Acts, {"fetch 8"}, Acts, {"fetch 9"}}),
     {0x02, 0x01, 0x10, 0x02, 0x05, 0x16, 0x02, 0x00, 0x16, 0x00}, 1},
    {"PassedOverZeroEndsTheRun", {0x02, 0x01, 0x10, 0x00, 0x05},
     Join({{"fetch 0"}, Acts, {"fetch 2"}, Tail, {"fetch 3"}}), {0x02, 0x01, 0x10, 0x00, 0x05}},
    {"PassedOverResetWith170Clears", {0x74, 0xAA, 0x02, 0x01, 0x10, 0x01, 0x00},
     Join({{"fetch 0"}, Acts, {"fetch 2"}, Acts, {"fetch 4"}, Tail, {"fetch 5"}}),
     {0, 0, 0, 0, 0, 0, 0}, 170, TMachineEnd::Reset},
    // R1 := 256; Page R1 gives 0, the Inc runs; Page R1 on 257 gives 1, the next Inc is passed over.
    {"PageOfRegister256IsZeroAnd257IsOne", {0x10, 0xFF, 0x01, 0x03, 0x00, 0x16, 0x03, 0x00, 0x16, 0x00},
     Join({{"fetch 0"}, Acts, {"fetch 3"}, Acts, {"fetch 5"}, Acts, {"fetch 6"}, Acts,
           {"fetch 8"}, Tail, {"fetch 9"}}),
     {0x10, 0xFF, 0x01, 0x03, 0x00, 0x16, 0x03, 0x00, 0x16, 0x00}, 257},
    {"OutAndInInOrder", {0xF3, 0x07, 0xF7, 0x00, 0xF4, 0x00, 0x00},
     Join({{"fetch 0", "output 7"}, Acts, {"fetch 2", "input"}, Acts, {"fetch 4", "output 5"}, Acts,
           {"fetch 6"}}),
     {0xF3, 0x07, 0xF7, 0x00, 0xF4, 0x00, 0x00}, 5},
    {"WrittenBeyondEndRunsToo", {0x78, 0x03, 0x16},
     Join({{"fetch 0"}, Acts, {"fetch 3"}, Acts}), {0x78, 0x03, 0x16, 0x16}, 1, TMachineEnd::EndOfImage},
    {"OperandBytesMissingEndTheRun", {0x16, 0x10, 0x01},
     Join({{"fetch 0"}, Acts, {"fetch 1"}}), {0x16, 0x10, 0x01}, 1, TMachineEnd::EndOfImage},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(EndConditions, Run, ::testing::ValuesIn(RunCases),
                         [](const ::testing::TestParamInfo<TRunCase>& row) { return row.param.name; });

TEST(MachineRun, SetOutsideTheFileFailsOnlyWhenUsed)
{
    TMachineRig rig({0xF0, 0x00, 0x16});
    ASSERT_TRUE(rig.Step());
    EXPECT_EQ(rig.hooks.shownCurrent, 255) << "the register hook gets the index as it is";
    try {
        rig.Step();
        FAIL() << "no fault";
    } catch (const EMachineFault& fault) {
        EXPECT_EQ(fault.Kind(), TFaultKind::RegisterOutOfRange);
        EXPECT_EQ(fault.Address(), 2);
    }
}

TEST(MachineRun, ResetStartsAnewOnTheSameImage)
{
    TMachineRig rig({0xF0, 0x04, 0x11, 0x03, 0x02, 0x01});
    rig.Run();
    ASSERT_EQ(rig.machine.Registers()[3], 3);
    rig.machine.Reset();
    EXPECT_EQ(rig.machine.Registers(), TRegisterFile{});
    EXPECT_EQ(rig.machine.Current(), 0);
    EXPECT_EQ(rig.machine.Page(), 0);
    EXPECT_EQ(rig.image.Position(), 0);
}

TEST(MachineRun, RunTakesNoMoreStepsThanAskedAndGoesOnLater)
{
    TMachineRig rig({0x16, 0x90, 0x00}); // Inc; Jmp C 0
    EXPECT_EQ(rig.machine.Run(rig.hooks, 1001), 1001u);
    EXPECT_EQ(rig.machine.EndReason(), TMachineEnd::None);
    EXPECT_EQ(rig.machine.Registers()[0], 501);
    EXPECT_EQ(rig.image.Position(), 1) << "the last step was an Inc";
    EXPECT_EQ(rig.machine.Run(rig.hooks, 0), 0u);
    EXPECT_TRUE(rig.Step());
    EXPECT_EQ(rig.image.Position(), 0) << "the Jmp";
}

TEST(MachineRun, ExecutesFollowsThePageValue)
{
    struct TRow {
        int byte;
        int page;
        bool executes;
    };
    const TRow rows[] = {{0x00, 7, true},  {0x01, 7, true},  {0x04, 7, true},  {0x05, 7, false},
                         {0x16, 7, false}, {0xFF, 1, false}, {0x16, 0, true},  {0x05, 0, true}};
    TMachineRig rig({});
    for (const TRow& row : rows) {
        rig.machine.SetPage(static_cast<std::uint8_t>(row.page));
        EXPECT_EQ(rig.machine.Executes(static_cast<std::uint8_t>(row.byte)), row.executes)
            << "byte " << row.byte << " with page " << row.page;
    }
}

// Run() keeps the position itself from step to step: many steps in one call must do exactly
// what as many single steps do, hook calls, state, end and failure alike.
TEST(MachineRun, ManyStepsInOneCallMatchSingleSteps)
{
    std::mt19937 random(1207);
    constexpr int Cap = 300;
    for (int round = 0; round < 600; ++round) {
        std::vector<std::uint8_t> bytes(1 + random() % 64);
        for (std::uint8_t& byte : bytes)
            byte = static_cast<std::uint8_t>(random());
        TMachineRig single(bytes);
        TMachineRig batch(bytes);
        single.hooks.inputs = batch.hooks.inputs = {"7", "-300", "x"};
        std::string singleFault;
        std::uint64_t singleSteps = 0;
        try {
            while (singleSteps < Cap) {
                ++singleSteps;
                if (!single.Step())
                    break;
            }
        } catch (const EMachineFault& fault) {
            singleFault = fault.what();
        }
        std::string batchFault;
        std::uint64_t batchSteps = 0;
        try {
            batchSteps = batch.machine.Run(batch.hooks, Cap);
        } catch (const EMachineFault& fault) {
            batchFault = fault.what();
        }
        SCOPED_TRACE(testing::Message() << "round " << round);
        ASSERT_EQ(batch.hooks.events, single.hooks.events);
        EXPECT_EQ(batchFault, singleFault);
        if (batchFault.empty()) {
            EXPECT_EQ(batchSteps, singleSteps);
        }
        EXPECT_EQ(batch.machine.Registers(), single.machine.Registers());
        EXPECT_EQ(batch.machine.Current(), single.machine.Current());
        EXPECT_EQ(batch.machine.Page(), single.machine.Page());
        EXPECT_EQ(batch.machine.EndReason(), single.machine.EndReason());
        EXPECT_EQ(batch.image.Bytes(), single.image.Bytes());
        EXPECT_EQ(batch.image.Position(), single.image.Position());
    }
}

// Random images, with jumps anywhere, writes beyond the end and registers out of range, run
// with a step cap: every step must keep the hook order, and only machine faults may escape.
TEST(MachineRun, RandomImagesRunSafely)
{
    std::mt19937 random(20261209);
    const std::vector<std::string> answers = {"1", "-1", "300", "", "abc", "2147483647", "-2147483648", "0"};
    int faults = 0;
    int ended = 0;
    int capped = 0;
    for (int image = 0; image < 3000; ++image) {
        std::vector<std::uint8_t> bytes(1 + random() % 96);
        for (std::uint8_t& byte : bytes)
            byte = static_cast<std::uint8_t>(random());
        TMachineRig rig(bytes);
        const std::size_t largest = std::max<std::size_t>(bytes.size(), 256);
        bool running = true;
        int step = 0;
        for (; running && step < 400; ++step) {
            rig.hooks.events.clear();
            rig.hooks.inputs = {answers[random() % answers.size()]};
            try {
                running = rig.Step();
            } catch (const EMachineFault&) {
                ++faults;
                break;
            }
            ASSERT_LE(rig.image.Bytes().size(), largest);
            const TEvents& events = rig.hooks.events;
            if (!running) {
                ASSERT_LE(events.size(), 1u);
                continue;
            }
            ASSERT_GE(events.size(), 3u);
            ASSERT_EQ(events[0].rfind("fetch ", 0), 0u);
            ASSERT_EQ(events[events.size() - 2], "registers");
            ASSERT_EQ(events.back(), "memory");
            const auto delays = std::count(events.begin(), events.end(), "delay");
            ASSERT_LE(delays, 1);
        }
        if (!running)
            ++ended;
        else if (step == 400)
            ++capped;
    }
    // The images must have reached every kind of ending, or the test explores too little.
    EXPECT_GT(faults, 0);
    EXPECT_GT(ended, 0);
    EXPECT_GT(capped, 0);
}

} // namespace
