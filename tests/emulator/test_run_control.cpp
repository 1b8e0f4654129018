// Run control on the worker: breakpoints and the one-time target, the pace, and stepping back
// through the history, each checked against the machine run alone.

#include "TestWindow.h"
#include "RecordingHooks.h"

#include "emulator/RegisterText.h"
#include "emulator/RunHistory.h"
#include "emulator/emuthread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TWait = TEmulationThread::TWait;
using TRunEnd = TEmulationThread::TRunEnd;

const TRunPace Paced{0ms, false};
const TRunPace Unpaced{0ms, true};

// One instruction of every group, in order: Add, Mov to memory beyond the end (the image
// grows), Div with a remainder, Mov a register to memory, Xch, Set, Inc, Out, In, Page (the
// Inc after it passed over), Jin, Stop.
const std::vector<std::uint8_t> EveryGroup = {
    0x11, 0x05,       // 0: Add C 5
    0x78, 0x40, 0x07, // 2: Mov [40h], 7
    0x30, 0x02, 0x02, // 5: Div CR 2, R2
    0x73, 0x41, 0x01, // 8: Mov [41h], R1
    0x80, 0x40, 0x41, // 11: Xch [40h], [41h]
    0xF0, 0x02,       // 14: Set 2
    0x16,             // 16: Inc
    0xF4, 0x02,       // 17: Out R2
    0xF7, 0x03,       // 19: In R3
    0x02, 0x01,       // 21: Page 1
    0x16,             // 23: Inc, passed over
    0x02, 0x00,       // 24: Page 0
    0x93, 0x1D, 0x1D, // 26: Jin 29, 29
    0x00,             // 29: Stop
};
constexpr int EveryGroupSteps = 13; // up to the Stop byte

const std::vector<std::uint8_t> CountingLoop = {0x16, 0x90, 0x00};           // Inc; Jmp 0
const std::vector<std::uint8_t> OutputLoop = {0xF4, 0x01, 0x16, 0x90, 0x00}; // Out R1; Inc; Jmp 0

struct TMachineState {
    TRegisterFile registers{};
    int current = 0;
    int page = 0;
    std::int64_t position = 0;
    std::vector<std::uint8_t> bytes;
    std::uint64_t steps = 0;

    static TMachineState Of(const TEmulationThread& worker)
    {
        const TMachine& m = worker.Machine();
        return {m.Registers(), m.Current(), m.Page(), m.Image().Position(), m.Image().Bytes(),
                worker.StepCount()};
    }
    friend bool operator==(const TMachineState&, const TMachineState&) = default;
};

struct TControlRig {
    TMemoryStream image;
    TTestWindow window;
    TTestViews views;
    std::unique_ptr<TEmulationThread> worker;

    explicit TControlRig(std::vector<std::uint8_t> bytes, TRunPace pace = Paced)
        : image(std::move(bytes))
    {
        worker = std::make_unique<TEmulationThread>(image, window, views, 0ms);
        worker->SetPace(pace);
        worker->SetOnFinished([this] { window.Nudge(); });
    }

    long Count(const std::string& prefix) const
    {
        return std::count_if(views.events.begin(), views.events.end(),
                             [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    }
    std::vector<std::string> Outputs() const
    {
        std::vector<std::string> lines;
        for (const std::string& e : views.events)
            if (e.rfind("output ", 0) == 0)
                lines.push_back(e.substr(7));
            else if (e.rfind("remove output ", 0) == 0)
                lines.resize(lines.size() - std::stoul(e.substr(14)));
        return lines;
    }
    // Plays the window until the worker waits before a step with nothing left to show.
    bool PausedBetweenSteps()
    {
        return WaitUntil([this] {
            window.RunAll();
            return worker->WaitingOn() == TWait::Resume && !worker->Stepping() &&
                   !window.HasPost();
        });
    }
    bool Step()
    {
        const long before = Count("memory") + Count("highlight");
        return worker->StepOnce() &&
               window.PumpUntil([&] {
                   return Count("memory") + Count("highlight") > before + 1 ||
                          worker->Finished();
               }) &&
               PausedBetweenSteps();
    }
    // Takes one step back; false when refused or the run had nothing earlier kept.
    bool Back()
    {
        const long shown = Count("highlight");
        const long refused = Count("no earlier step");
        if (!worker->StepBack())
            return false;
        EXPECT_TRUE(window.PumpUntil(
            [&] { return Count("highlight") > shown || Count("no earlier step") > refused; }));
        EXPECT_TRUE(PausedBetweenSteps());
        return Count("no earlier step") == refused;
    }
    bool PumpUntilSeen(const std::string& event)
    {
        return window.PumpUntil([this, &event] { return views.Saw(event); });
    }
    bool PumpToEnd() { return window.PumpUntil([this] { return worker->Finished(); }); }
};

// ---- breakpoints ---------------------------------------------------------------------------

class Breakpoints : public ::testing::TestWithParam<TRunPace> {};

TEST_P(Breakpoints, HoldOnEveryPassWithThatPassesRegister)
{
    TControlRig rig(CountingLoop, GetParam());
    rig.worker->SetBreakpoints({1});
    rig.worker->Resume();
    for (int pass = 1; pass <= 4; ++pass) {
        const std::string held = "held at 1 after " + std::to_string(2 * pass - 1);
        ASSERT_TRUE(rig.PumpUntilSeen(held));
        ASSERT_TRUE(rig.PausedBetweenSteps());
        EXPECT_TRUE(rig.worker->Suspended()) << "held as by a Pause";
        EXPECT_EQ(rig.worker->Machine().Registers()[0], pass);
        EXPECT_EQ(rig.worker->Machine().Image().Position(), 1) << "before the Jmp";
        EXPECT_EQ(rig.Count("held at "), pass) << "resumed, it left the breakpoint first";
        if (pass == 4)
            rig.worker->SetBreakpoints({});
        rig.worker->Resume();
    }
    ASSERT_TRUE(rig.window.PumpUntil([&] { return rig.worker->StepCount() > 40; }));
    EXPECT_EQ(rig.Count("held at "), 4) << "a breakpoint removed holds no more";
    rig.worker->SetStop(true);
    EXPECT_TRUE(rig.PumpToEnd());
}

TEST_P(Breakpoints, TargetHoldsOnceAndStepLeavesTheBreakpoint)
{
    TControlRig rig(CountingLoop, GetParam());
    rig.worker->SetRunTarget(1);
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpUntilSeen("held at 1 after 1"));
    ASSERT_TRUE(rig.PausedBetweenSteps());
    rig.worker->SetBreakpoints({0});
    ASSERT_TRUE(rig.Step()) << "the Jmp the run held before";
    EXPECT_EQ(rig.worker->Machine().Image().Position(), 0);
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpUntilSeen("held at 0 after 4")) << "resumed at 0, the run left it first";
    EXPECT_EQ(rig.Count("held at 1"), 1) << "the target is forgotten once held";
    rig.worker->Shutdown();
}

INSTANTIATE_TEST_SUITE_P(Paces, Breakpoints, ::testing::Values(Paced, Unpaced),
                         [](const auto& row) { return row.param.Unpaced ? "Unpaced" : "Paced"; });

// ---- pace ----------------------------------------------------------------------------------

struct TPaceCase {
    const char* name;
    std::vector<std::uint8_t> image;
    TRunPace pace;
    TRunPace switchTo; // after the first step
};

class Pace : public ::testing::TestWithParam<TPaceCase> {};

TEST_P(Pace, ComputesWhatTheMachineAloneDoes)
{
    const TPaceCase& c = GetParam();
    TMachineRig alone(c.image);
    alone.hooks.inputs = {"5", "5", "5"};
    alone.Run();
    TControlRig rig(c.image, c.pace);
    ASSERT_TRUE(rig.Step());
    rig.worker->SetPace(c.switchTo);
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_EQ(rig.worker->EndReason(), TRunEnd::StopByte);
    EXPECT_EQ(rig.worker->Machine().Registers(), alone.machine.Registers());
    EXPECT_EQ(rig.worker->Machine().Image().Bytes(), alone.image.Bytes());
    std::vector<std::string> expected;
    for (const std::string& e : alone.hooks.events)
        if (e.rfind("output ", 0) == 0)
            expected.push_back(OutputLine(e.substr(7)));
    EXPECT_EQ(rig.Outputs(), expected);
    const auto fetches = std::count_if(alone.hooks.events.begin(), alone.hooks.events.end(),
                                       [](const std::string& e) { return e.rfind("fetch ", 0) == 0; });
    EXPECT_EQ(rig.worker->StepCount(), static_cast<std::uint64_t>(fetches));
}

// Five passes of a loop that counts R1 up and sends it, R2 counting the passes down.
const std::vector<std::uint8_t> FivePasses = {0x77, 0x02, 0x05, 0xF0, 0x01, 0x16, 0xF4, 0x01,
                                              0xF0, 0x02, 0x26, 0x96, 0x03, 0x0E, 0x00};

const TPaceCase PaceCases[] = {
    {"LoopPaced", FivePasses, Paced, Paced},
    {"LoopUnpaced", FivePasses, Unpaced, Unpaced},
    {"LoopAtOneMillisecond", FivePasses, {1ms, false}, {1ms, false}},
    {"PacedThroughout", EveryGroup, Paced, Paced},
    {"UnpacedThroughout", EveryGroup, Unpaced, Unpaced},
    {"PacedThenUnpaced", EveryGroup, Paced, Unpaced},
    {"UnpacedThenSlow", EveryGroup, Unpaced, {1ms, false}},
};

INSTANTIATE_TEST_SUITE_P(Runs, Pace, ::testing::ValuesIn(PaceCases),
                         [](const auto& row) { return row.param.name; });

TEST(UnpacedRun, PausesAndStopsWithEveryOutputLineInOrder)
{
    TControlRig rig(OutputLoop, Unpaced);
    rig.worker->Resume();
    ASSERT_TRUE(rig.window.PumpUntil([&] { return rig.Count("output ") > 5000; }));
    rig.worker->Suspend();
    ASSERT_TRUE(rig.PausedBetweenSteps());
    const std::vector<std::string> lines = rig.Outputs();
    for (std::size_t i = 0; i < lines.size(); ++i)
        ASSERT_EQ(lines[i], OutputLine(std::to_string(i))) << "line " << i;
    const TMachine& machine = rig.worker->Machine();
    // Held between the Out and the Inc, the run has sent one line more than R1 counts.
    const std::size_t sent = static_cast<std::size_t>(machine.Registers()[0]) +
                             (machine.Image().Position() == 2 ? 1 : 0);
    EXPECT_EQ(lines.size(), sent) << "every line sent is shown by the time the run holds";
    EXPECT_EQ(rig.Count("highlight"), rig.Count("registers")) << "one refresh shows all views";
    EXPECT_LT(rig.Count("highlight"), 1000) << "not every step is shown";
    rig.worker->SetStop(true);
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_EQ(rig.worker->EndReason(), TRunEnd::Stopped);
}

// ---- stepping back -------------------------------------------------------------------------

TEST(StepBack, UndoesEveryGroupExactlyBackToTheStart)
{
    TControlRig rig(EveryGroup);
    std::vector<TMachineState> before;
    for (int i = 0; i < EveryGroupSteps; ++i) {
        before.push_back(TMachineState::Of(*rig.worker));
        ASSERT_TRUE(rig.Step()) << "step " << i;
    }
    ASSERT_EQ(rig.Outputs(), std::vector<std::string>{OutputLine("1")});
    for (int i = EveryGroupSteps - 1; i >= 0; --i) {
        ASSERT_TRUE(rig.Back()) << "back over step " << i;
        EXPECT_EQ(TMachineState::Of(*rig.worker), before[static_cast<std::size_t>(i)])
            << "after stepping back over step " << i;
        EXPECT_EQ(rig.views.events.back(),
                  "highlight " + std::to_string(rig.worker->Machine().OpcodeAddress()));
        EXPECT_EQ(rig.Outputs().size(), i > 7 ? 1u : 0u) << "the Out's line goes with it";
    }
    EXPECT_EQ(rig.views.events.back(), "highlight -1") << "at the start nothing is fetched";
    EXPECT_FALSE(rig.Back()) << "nothing before the start";
    EXPECT_EQ(rig.Count("input"), 1);

    // Forward again: the In takes its first answer without asking.
    rig.views.onInput = [](auto answer) { answer("99"); };
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_EQ(rig.Count("input"), 1);
    EXPECT_TRUE(rig.views.Saw("replayed 5"));
    EXPECT_EQ(rig.worker->Machine().Registers()[2], 5);
    EXPECT_EQ(rig.Outputs(), std::vector<std::string>{OutputLine("1")});
}

TEST(StepBack, ShowsTheStepBeforeFirstSoTheTintsAreThatStepsOwn)
{
    TControlRig rig(EveryGroup);
    ASSERT_TRUE(rig.Step());
    ASSERT_TRUE(rig.Step());
    ASSERT_TRUE(rig.Step());
    rig.views.events.clear();
    ASSERT_TRUE(rig.Back());
    const std::vector<std::string> expected = {"registers", "memory", "registers", "memory",
                                               "remove output 0", "highlight 2"};
    EXPECT_EQ(rig.views.events, expected);
    EXPECT_EQ(rig.worker->StepCount(), 2u);
}

TEST(StepBack, RefusedWhileRunningAndAfterTheEnd)
{
    TControlRig rig(CountingLoop);
    EXPECT_FALSE(rig.worker->StepBack()) << "nothing executed, and not started";
    rig.worker->Resume();
    EXPECT_FALSE(rig.worker->StepBack()) << "running";
    rig.worker->SetStop(true);
    ASSERT_TRUE(rig.PumpToEnd());
    rig.worker->Suspend();
    EXPECT_FALSE(rig.worker->StepBack()) << "ended";
}

TEST(StepBack, StopsWhereTheHistoryBudgetDroppedTheOlderSteps)
{
    TControlRig rig(CountingLoop, Unpaced);
    rig.worker->SetHistoryBudget(1); // only the newest state is kept
    rig.worker->Resume();
    ASSERT_TRUE(rig.window.PumpUntil([&] { return rig.worker->StepCount() > 3 * 4096; }));
    rig.worker->Suspend();
    ASSERT_TRUE(rig.PausedBetweenSteps());
    const std::uint64_t held = rig.worker->StepCount();
    int back = 0;
    while (rig.Back())
        ++back;
    const std::uint64_t oldest = rig.worker->StepCount();
    EXPECT_TRUE(rig.views.Saw("no earlier step"));
    EXPECT_GT(oldest, 0u) << "the start was dropped";
    EXPECT_EQ(oldest + static_cast<std::uint64_t>(back), held);
    EXPECT_LE(held - oldest, 2 * 4096u) << "the newest state is at most one interval back";
    EXPECT_EQ(rig.worker->Machine().Registers()[0], static_cast<std::int32_t>((oldest + 1) / 2));
    rig.worker->Shutdown();
}

TEST(RunHistory, DropsTheOldestStatesAndTheirAnswersFirst)
{
    TMemoryStream image(std::vector<std::uint8_t>(100, 0));
    TMachine machine(image);
    machine.Reset();
    const std::size_t oneState = TRunHistory::TState::Of(machine, 0, 0).Size();
    TRunHistory history(3 * oneState + 400);
    for (std::uint64_t step = 0; step < 5 * 4096; step += 4096) {
        EXPECT_EQ(history.StepsUntilDue(step, image.Bytes().size()), 0u) << step;
        history.KeepAnswer(step + 1, "answer");
        history.Keep(machine, step, 0);
        EXPECT_EQ(history.StepsUntilDue(step + 1, image.Bytes().size()), 4095u);
    }
    EXPECT_LE(history.Bytes(), history.Budget());
    EXPECT_EQ(history.Before(4096 * 2 - 1), nullptr) << "the first two went";
    ASSERT_NE(history.Before(4096 * 2), nullptr);
    EXPECT_EQ(history.Before(4096 * 3 + 5)->Step, 4096u * 3);
    EXPECT_EQ(history.AnswerOf(4096 + 1), nullptr);
    ASSERT_NE(history.AnswerOf(4096 * 2 + 1), nullptr);
    history.Keep(machine, 4096, 0);
    EXPECT_EQ(history.Before(4096 * 2 - 1), nullptr) << "an earlier step kept again is not";
}

} // namespace
