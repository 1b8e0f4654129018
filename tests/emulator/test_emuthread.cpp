// The worker: pausing, stopping, shutting down, and its calls to the window, with the test's
// thread standing in for the window's thread.

#include "RecordingHooks.h"
#include "emulator/RegisterText.h"
#include "TestWindow.h"
#include "emulator/emuthread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <random>
#include <thread>

namespace {

using namespace std::chrono_literals;
using TEvents = std::vector<std::string>;
using TRunEnd = TEmulationThread::TRunEnd;
using TWait = TEmulationThread::TWait;

const std::vector<std::uint8_t> Sample = {0x11, 0x0A, 0x81, 0x01, 0x02, 0xF0, 0x01, 0x16, 0xF0,
                                          0x03, 0xA1, 0x01, 0x02, 0x93, 0x10, 0x05, 0x00};
const std::vector<std::uint8_t> EndlessLoop = {0x16, 0x90, 0x00}; // Inc; Jmp C 0

struct TRunRig {
    TMemoryStream image;
    TTestWindow window;
    TTestViews views;
    std::atomic<int> finishedCalls{0};
    std::atomic<bool> finishedOnWorker{false};
    std::unique_ptr<TEmulationThread> worker;

    explicit TRunRig(std::vector<std::uint8_t> bytes, std::chrono::milliseconds delay = 0ms)
        : image(std::move(bytes))
    {
        worker = std::make_unique<TEmulationThread>(image, window, views, delay);
        const auto testThread = std::this_thread::get_id();
        worker->SetOnFinished([this, testThread] {
            finishedOnWorker = std::this_thread::get_id() != testThread;
            ++finishedCalls;
            window.Nudge();
        });
    }

    bool PumpToEnd() { return window.PumpUntil([this] { return worker->Finished() && finishedCalls > 0; }); }
    // A worker blocked on `what` posts nothing until it is let go, so the absence of a call
    // can be checked at once instead of after a while.
    bool WaitsOn(TWait what) { return WaitUntil([this, what] { return worker->WaitingOn() == what; }); }
    long Highlights() const
    {
        return std::count_if(views.events.begin(), views.events.end(),
                             [](const std::string& e) { return e.rfind("highlight ", 0) == 0; });
    }
    bool PumpUntilSeen(const std::string& event)
    {
        return window.PumpUntil([this, &event] { return views.Saw(event); });
    }
};

TEST(EmulationThread, RunsTheSampleToItsStopByte)
{
    TRunRig rig(Sample);
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_EQ(rig.views.events.back(), "highlight 16") << "the Stop byte at 16 stays highlighted";
    EXPECT_EQ(rig.views.lastRegisters[0], 10);
    EXPECT_EQ(rig.views.lastRegisters[1], 10);
    EXPECT_EQ(rig.views.lastRegisters[2], 0);
    EXPECT_EQ(rig.views.lastCurrent, 2);
    EXPECT_EQ(std::count_if(rig.views.events.begin(), rig.views.events.end(),
                            [](const std::string& e) { return e.rfind("output", 0) == 0; }),
              0);
    EXPECT_FALSE(rig.worker->FatalException());
    EXPECT_EQ(rig.finishedCalls, 1);
    EXPECT_TRUE(rig.finishedOnWorker);
    EXPECT_EQ(rig.worker->Machine().Registers()[0], 10);
}

TEST(EmulationThread, CallsTheViewsInStepOrder)
{
    // Out C 7 at 0; Jmp C 14 at 2; Inc at 14 (last cell of row 0); Stop at 15 (first of row 1).
    std::vector<std::uint8_t> bytes(16, 0);
    bytes[0] = 0xF3;
    bytes[1] = 7;
    bytes[2] = 0x90;
    bytes[3] = 14;
    bytes[14] = 0x16;
    TRunRig rig(bytes);
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpToEnd());
    const TEvents expected = {"highlight 0",  "output Value: 7", "registers", "memory", "highlight 2", "registers",
                              "memory",    "highlight 14",       "registers", "memory", "highlight 15"};
    EXPECT_EQ(rig.views.events, expected);
}

TEST(EmulationThread, CreatedPausedRunsNothingUntilResumed)
{
    TRunRig rig(Sample);
    EXPECT_TRUE(rig.worker->Suspended());
    ASSERT_TRUE(rig.WaitsOn(TWait::Resume));
    EXPECT_FALSE(rig.window.HasPost());
    EXPECT_FALSE(rig.worker->Finished());
    EXPECT_EQ(rig.worker->EndReason(), TRunEnd::Running);
    rig.worker->Resume();
    EXPECT_FALSE(rig.worker->Suspended());
    EXPECT_TRUE(rig.window.WaitForPost());
}

TEST(EmulationThread, PausesNest)
{
    TRunRig rig(EndlessLoop);
    rig.worker->Resume();
    ASSERT_TRUE(rig.window.WaitForPost());
    // The worker waits in its first call; both pauses take effect as soon as it returns.
    rig.worker->Suspend();
    rig.worker->Suspend();
    ASSERT_TRUE(rig.window.RunOne());
    ASSERT_TRUE(rig.WaitsOn(TWait::Resume));
    EXPECT_FALSE(rig.window.HasPost());
    rig.worker->Resume();
    EXPECT_TRUE(rig.worker->Suspended());
    EXPECT_EQ(rig.worker->WaitingOn(), TWait::Resume);
    EXPECT_FALSE(rig.window.HasPost());
    rig.worker->Resume();
    EXPECT_FALSE(rig.worker->Suspended());
    EXPECT_TRUE(rig.window.WaitForPost());
    rig.worker->SetStop(true);
    EXPECT_TRUE(rig.PumpToEnd());
}

TEST(EmulationThread, ExtraResumeDoesNotCountAhead)
{
    TRunRig rig(EndlessLoop);
    rig.worker->Resume();
    rig.worker->Resume(); // nothing left to lift; must not cancel the next pause
    ASSERT_TRUE(rig.window.WaitForPost());
    rig.worker->Suspend();
    EXPECT_TRUE(rig.worker->Suspended());
    ASSERT_TRUE(rig.window.RunOne());
    ASSERT_TRUE(rig.WaitsOn(TWait::Resume));
    EXPECT_FALSE(rig.window.HasPost());
}

TEST(EmulationThread, StopWhilePausedFinishesTheStepAfterResume)
{
    TRunRig rig(EndlessLoop);
    rig.worker->Resume();
    ASSERT_TRUE(rig.window.WaitForPost()); // the highlight of the Inc
    rig.worker->Suspend();
    rig.worker->SetStop(true);
    rig.worker->Terminate();
    ASSERT_TRUE(rig.window.RunOne());
    ASSERT_TRUE(rig.WaitsOn(TWait::Resume));
    EXPECT_FALSE(rig.window.HasPost());
    EXPECT_FALSE(rig.worker->Finished());
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_EQ(rig.views.events, (TEvents{"highlight 0", "registers", "memory"}));
    EXPECT_EQ(rig.views.lastRegisters[0], 1);
}

TEST(EmulationThread, StopEndsARunningLoop)
{
    TRunRig rig(EndlessLoop);
    rig.worker->Resume();
    ASSERT_TRUE(rig.window.PumpUntil([&] { return rig.views.events.size() >= 30; }));
    rig.worker->SetStop(true);
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_FALSE(rig.worker->FatalException());
    EXPECT_EQ(rig.views.events.back(), "memory") << "the step in progress completes";
}

struct TNeverStartsCase {
    const char* name;
    bool setStop;
    bool resume;
};

class NeverStarts : public ::testing::TestWithParam<TNeverStartsCase> {};

TEST_P(NeverStarts, TerminateBeforeTheBodyStarts)
{
    TRunRig rig(Sample);
    rig.worker->SetStop(GetParam().setStop);
    rig.worker->Terminate();
    EXPECT_TRUE(rig.worker->Finished());
    EXPECT_EQ(rig.worker->EndReason(), TRunEnd::Stopped) << "told as soon as it is finished";
    if (GetParam().resume)
        rig.worker->Resume();
    EXPECT_TRUE(rig.window.PumpUntil([&] { return rig.finishedCalls > 0; }));
    // The finish notice is the worker's last act: nothing can be posted after it.
    EXPECT_FALSE(rig.window.HasPost());
    EXPECT_TRUE(rig.views.events.empty());
    EXPECT_EQ(rig.worker->Machine().Image().Position(), 0);
    EXPECT_EQ(rig.worker->EndReason(), TRunEnd::Stopped);
    EXPECT_EQ(rig.worker->StepCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Requests, NeverStarts,
                         ::testing::Values(TNeverStartsCase{"StopThenResume", true, true},
                                           TNeverStartsCase{"TerminateAloneThenResume", false, true},
                                           TNeverStartsCase{"StopNeverResumed", true, false}),
                         [](const ::testing::TestParamInfo<TNeverStartsCase>& row) { return row.param.name; });

TEST(EmulationThread, TerminateAfterTheBodyStartedChangesNothing)
{
    TRunRig rig(Sample);
    rig.worker->Resume();
    ASSERT_TRUE(rig.window.WaitForPost()); // the first highlight: the body has begun
    rig.worker->Terminate();
    EXPECT_FALSE(rig.worker->Finished()) << "the worker waits for its call";
    EXPECT_EQ(rig.worker->EndReason(), TRunEnd::Running);
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_EQ(rig.worker->EndReason(), TRunEnd::StopByte);
    EXPECT_EQ(rig.views.events.back(), "highlight 16");
}

TEST(EmulationThread, StopFlagSetBeforeTheFirstResumeIsKept)
{
    TRunRig rig(Sample);
    rig.worker->SetStop(true);
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_TRUE(rig.views.events.empty()) << "the run ends at the top of its first step";
}

TEST(EmulationThread, PauseAfterTheRunEndedJustToggles)
{
    TRunRig rig({0x00});
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpToEnd());
    rig.worker->Suspend();
    EXPECT_TRUE(rig.worker->Suspended());
    rig.worker->Resume();
    EXPECT_FALSE(rig.worker->Suspended());
    EXPECT_EQ(rig.finishedCalls, 1);
}

TEST(EmulationThread, HaltDuringInputPausesBeforeTheTextIsUsed)
{
    TRunRig rig({0xF7, 0x01, 0xF4, 0x01, 0x00}); // In R1; Out R1; Stop
    rig.views.onInput = [&rig](auto answer) {
        rig.worker->Suspend();
        answer("42");
    };
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpUntilSeen("input"));
    ASSERT_TRUE(rig.WaitsOn(TWait::Resume));
    EXPECT_FALSE(rig.window.HasPost());
    EXPECT_TRUE(rig.worker->Suspended());
    EXPECT_EQ(rig.worker->Machine().Registers()[0], 0) << "the text is not used yet";
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_TRUE(rig.views.Saw("output Value: 42"));
}

TEST(EmulationThread, LateAnswerIsUsedOnceAndASecondIgnored)
{
    TRunRig rig({0xF7, 0x01, 0xF4, 0x01, 0x00});
    std::function<void(std::string)> pending;
    rig.views.onInput = [&pending](auto answer) { pending = std::move(answer); };
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpUntilSeen("input"));
    ASSERT_TRUE(rig.WaitsOn(TWait::Window)) << "the worker waits for the answer";
    EXPECT_FALSE(rig.window.HasPost());
    pending("7");
    pending("8");
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_TRUE(rig.views.Saw("output Value: 7"));
    EXPECT_FALSE(rig.views.Saw("output Value: 8"));
}

// How a run ended and how many opcode bytes it fetched, as the window's status bar reads them
// once the worker has finished.
struct TEndCase {
    const char* name;
    std::vector<std::uint8_t> image;
    bool stopFlag;                      // set once the run has gone some way
    TRunEnd end;
    std::optional<std::uint64_t> steps; // none: as many as the run highlighted before the stop
};

void PrintTo(const TEndCase& c, std::ostream* os) { *os << c.name; }

class RunEnd : public ::testing::TestWithParam<TEndCase> {};

TEST_P(RunEnd, IsToldWithTheStepCount)
{
    const TEndCase& c = GetParam();
    TRunRig rig(c.image);
    rig.worker->Resume();
    if (c.stopFlag) {
        ASSERT_TRUE(rig.window.PumpUntil([&] { return rig.views.events.size() >= 30; }));
        rig.worker->SetStop(true);
    }
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_EQ(rig.worker->EndReason(), c.end);
    EXPECT_EQ(rig.worker->StepCount(), static_cast<std::uint64_t>(rig.Highlights()))
        << "one step for each highlighted byte";
    if (c.steps) {
        EXPECT_EQ(rig.worker->StepCount(), *c.steps);
    }
}

// The sample fetches Add, Xch, ten rounds of five instructions and the Stop byte.
const TEndCase EndCases[] = {
    {"StopByteCountsItsStep", Sample, false, TRunEnd::StopByte, 53},
    {"ResetWith170", {0x74, 0xAA, 0x01, 0x16}, false, TRunEnd::Reset, 2},
    {"EndOfImageFetchesNothing", {0x16, 0x16}, false, TRunEnd::EndOfImage, 2},
    {"JumpOutsideTheImage", {0x90, 0x40, 0x16}, false, TRunEnd::EndOfImage, 1},
    {"OperandBytesMissing", {0x16, 0x10, 0x01}, false, TRunEnd::EndOfImage, 2},
    {"FailureCountsItsStep", {0x16, 0x31, 0x05, 0x00, 0x16}, false, TRunEnd::Failed, 2},
    {"StopFlag", EndlessLoop, true, TRunEnd::Stopped, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Ends, RunEnd, ::testing::ValuesIn(EndCases),
                         [](const ::testing::TestParamInfo<TEndCase>& row) { return row.param.name; });

struct TFailureCase {
    const char* name;
    std::vector<std::uint8_t> image;
    std::string input;
    std::string failOn;
    TEvents events; // everything the views saw
    std::string message;
};

void PrintTo(const TFailureCase& c, std::ostream* os) { *os << c.name; }

class RunFailure : public ::testing::TestWithParam<TFailureCase> {};

TEST_P(RunFailure, EndsTheRunSilentlyAndIsKept)
{
    const TFailureCase& c = GetParam();
    TRunRig rig(c.image);
    rig.views.failOn = c.failOn;
    rig.views.onInput = [text = c.input](auto answer) { answer(text); };
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_EQ(rig.views.events, c.events);
    const std::exception_ptr fatal = rig.worker->FatalException();
    ASSERT_TRUE(fatal);
    try {
        std::rethrow_exception(fatal);
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()), c.message);
    }
    EXPECT_EQ(rig.worker->EndReason(), TRunEnd::Failed);
    EXPECT_EQ(rig.finishedCalls, 1);
}

const TFailureCase FailureCases[] = {
    {"DivisionByZero", {0x16, 0x31, 0x05, 0x00, 0x16}, "", "",
     {"highlight 0", "registers", "memory", "highlight 1"}, "Division by zero at address 1"},
    {"InputNotAnInteger", {0xF7, 0x01, 0x16}, "", "", {"highlight 0", "input"},
     "Input is not an integer at address 0: '' is not a valid integer value"},
    {"ViewThrowsInShowMemory", {0x16, 0x16}, "", "memory", {"highlight 0", "registers", "memory"},
     "view failed on memory"},
    {"ViewThrowsInRequestInput", {0xF7, 0x01, 0x16}, "1", "input", {"highlight 0", "input"}, "view failed on input"},
    {"ViewThrowsInHighlight", {0x16}, "", "highlight 0", {"highlight 0"}, "view failed on highlight 0"},
};

INSTANTIATE_TEST_SUITE_P(Failures, RunFailure, ::testing::ValuesIn(FailureCases),
                         [](const ::testing::TestParamInfo<TFailureCase>& row) { return row.param.name; });

TEST(EmulationShutdown, NeverResumedWorker)
{
    TRunRig rig(Sample);
    rig.worker->Shutdown();
    EXPECT_TRUE(rig.worker->Finished());
    EXPECT_EQ(rig.finishedCalls, 0) << "no finish notice after a shutdown";
    EXPECT_FALSE(rig.window.HasPost()) << "the thread has been joined";
    EXPECT_EQ(rig.worker->EndReason(), TRunEnd::Stopped);
}

TEST(EmulationShutdown, PausedWorker)
{
    TRunRig rig(EndlessLoop);
    rig.worker->Resume();
    ASSERT_TRUE(rig.window.WaitForPost());
    rig.worker->Suspend();
    ASSERT_TRUE(rig.window.RunOne());
    // A paused worker that Shutdown() failed to wake would never be joined: the test would
    // hang until CTest's limit instead of passing.
    rig.worker->Shutdown();
    rig.window.RunAll();
    EXPECT_EQ(rig.views.events, TEvents{"highlight 0"});
    EXPECT_EQ(rig.finishedCalls, 0);
}

TEST(EmulationShutdown, CutsALongStepDelayShort)
{
    // A delay no test run outlives: only a shutdown that cuts it short lets the join return.
    TRunRig rig({0x16, 0x16, 0x00}, std::chrono::hours(24));
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpUntilSeen("highlight 0"));
    ASSERT_TRUE(rig.WaitsOn(TWait::StepDelay));
    EXPECT_FALSE(rig.window.HasPost());
    rig.worker->Shutdown();
    rig.window.RunAll();
    EXPECT_EQ(rig.views.events, TEvents{"highlight 0"}) << "no call after the shutdown";
}

TEST(EmulationShutdown, RunningWithTheDefaultDelay)
{
    TRunRig rig(EndlessLoop, TEmulationThread::DefaultStepDelay);
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpUntilSeen("highlight 1"));
    rig.worker->Shutdown();
    const std::size_t seen = rig.views.events.size();
    rig.window.RunAll();
    EXPECT_EQ(rig.views.events.size(), seen);
}

TEST(EmulationShutdown, PendingInputAnsweredAfterTheWorkerIsGone)
{
    TRunRig rig({0xF7, 0x01, 0xF4, 0x01, 0x00});
    std::function<void(std::string)> pending;
    rig.views.onInput = [&pending](auto answer) { pending = std::move(answer); };
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpUntilSeen("input"));
    rig.worker->Shutdown();
    rig.worker.reset();
    pending("5"); // must be harmless now
    rig.window.RunAll();
    EXPECT_EQ(rig.views.events, (TEvents{"highlight 0", "input"}));
    EXPECT_EQ(rig.finishedCalls, 0);
}

TEST(EmulationShutdown, CallPostedButNotRunDoesNothing)
{
    TRunRig rig(Sample);
    rig.worker->Resume();
    ASSERT_TRUE(rig.window.WaitForPost());
    rig.worker->Shutdown();
    rig.worker->Shutdown(); // a second time changes nothing
    rig.worker.reset();
    rig.window.RunAll();
    EXPECT_TRUE(rig.views.events.empty());
}

// Random images run by the worker and ended by the stop flag: no crash, no hang.
TEST(EmulationThread, RandomImagesAlwaysStop)
{
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        std::vector<std::uint8_t> bytes(1 + random() % 64);
        for (std::uint8_t& byte : bytes)
            byte = static_cast<std::uint8_t>(random());
        TRunRig rig(bytes);
        rig.views.onInput = [&random](auto answer) { answer(random() % 4 == 0 ? "x" : std::to_string(random() % 500)); };
        rig.worker->Resume();
        rig.window.PumpUntil([&] { return rig.views.events.size() >= 200 || rig.worker->Finished(); });
        rig.worker->SetStop(true);
        ASSERT_TRUE(rig.PumpToEnd()) << "round " << round;
    }
}

// Single steps: the window plays the calls of one step, then the worker must wait again
// before the next one, having posted nothing more.
struct TStepRig : TRunRig {
    using TRunRig::TRunRig;

    long Count(const std::string& event) const
    {
        return std::count(views.events.begin(), views.events.end(), event);
    }
    // Plays the window until the worker waits before its next step or has ended.
    bool Settle(long memoryBefore)
    {
        return window.PumpUntil([&] { return Count("memory") > memoryBefore || worker->Finished(); }) &&
               WaitUntil([&] { return !worker->Stepping(); });
    }
    bool Step()
    {
        const long before = Count("memory");
        return worker->StepOnce() && Settle(before);
    }
    bool PausedBetweenSteps()
    {
        return WaitsOn(TWait::Resume) && worker->Suspended() && !worker->Stepping() && !window.HasPost();
    }
};

// What the views see for the calls a machine makes on its own: the same calls, minus the delay.
TEvents AsViewEvents(const std::vector<std::string>& machineEvents)
{
    TEvents seen;
    for (const std::string& e : machineEvents) {
        if (e.rfind("fetch ", 0) == 0)
            seen.push_back("highlight " + e.substr(6));
        else if (e.rfind("output ", 0) == 0)
            seen.push_back("output " + OutputLine(e.substr(7)));
        else if (e != "delay")
            seen.push_back(e);
    }
    return seen;
}

struct TStepCase {
    const char* name;
    std::vector<std::uint8_t> image;
    int steps;
    TRunEnd end; // Running: the run goes on after the last step
};

void PrintTo(const TStepCase& c, std::ostream* os) { *os << c.name; }

class SingleStep : public ::testing::TestWithParam<TStepCase> {};

TEST_P(SingleStep, EqualsAsManyMachineSteps)
{
    const TStepCase& c = GetParam();
    TStepRig rig(c.image);
    TMachineRig alone(c.image);
    alone.hooks.inputs = {"5", "5", "5"};
    ASSERT_TRUE(rig.WaitsOn(TWait::Resume));
    for (int i = 0; i < c.steps; ++i) {
        bool goesOn = false;
        try {
            goesOn = alone.Step();
        } catch (const std::exception&) {
        }
        ASSERT_TRUE(rig.Step()) << "step " << i;
        if (goesOn) {
            ASSERT_TRUE(rig.PausedBetweenSteps()) << "step " << i;
        }
    }
    EXPECT_EQ(rig.views.events, AsViewEvents(alone.hooks.events));
    EXPECT_EQ(rig.worker->StepCount(), static_cast<std::uint64_t>(rig.Highlights()));
    EXPECT_EQ(rig.worker->Machine().Registers(), alone.machine.Registers());
    EXPECT_EQ(rig.worker->Machine().Current(), alone.machine.Current());
    EXPECT_EQ(rig.worker->Machine().Image().Position(), alone.image.Position());
    EXPECT_EQ(rig.worker->Machine().Image().Bytes(), alone.image.Bytes());
    if (c.end == TRunEnd::Running) {
        EXPECT_FALSE(rig.worker->Finished());
        rig.worker->Resume(); // lifts the pause it was created with: the run goes on freely
        rig.worker->SetStop(true);
    }
    ASSERT_TRUE(rig.PumpToEnd());
    if (c.end != TRunEnd::Running) {
        EXPECT_EQ(rig.worker->EndReason(), c.end);
        EXPECT_EQ(rig.views.events, AsViewEvents(alone.hooks.events)) << "nothing after the end";
    }
    EXPECT_FALSE(rig.worker->StepOnce()) << "a finished worker takes no step";
}

const TStepCase StepCases[] = {
    {"FirstStepOfAPausedNewRun", Sample, 1, TRunEnd::Running},
    {"SeveralInARow", Sample, 7, TRunEnd::Running},
    {"OutputAndInput", {0xF3, 0x07, 0xF7, 0x01, 0x16, 0x00}, 3, TRunEnd::Running},
    {"StopByteEndsTheRun", {0x16, 0x00}, 2, TRunEnd::StopByte},
    {"EndOfImageEndsTheRun", {0x16}, 2, TRunEnd::EndOfImage},
    {"FailureEndsTheRun", {0x16, 0x31, 0x05, 0x00, 0x16}, 2, TRunEnd::Failed},
};

INSTANTIATE_TEST_SUITE_P(Steps, SingleStep, ::testing::ValuesIn(StepCases),
                         [](const ::testing::TestParamInfo<TStepCase>& row) { return row.param.name; });

TEST(EmulationStep, LeavesNestedPausesAsTheyWere)
{
    TStepRig rig(Sample);
    rig.worker->Suspend(); // two pauses now
    ASSERT_TRUE(rig.Step());
    ASSERT_TRUE(rig.PausedBetweenSteps());
    rig.worker->Resume();
    EXPECT_TRUE(rig.worker->Suspended()) << "one pause is left";
    EXPECT_TRUE(rig.PausedBetweenSteps());
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_EQ(rig.worker->EndReason(), TRunEnd::StopByte);
}

TEST(EmulationStep, RefusedWhileRunningOrBusyWithAStep)
{
    TStepRig rig({0xF7, 0x01, 0xF4, 0x01, 0x00}); // In R1; Out R1; Stop
    std::function<void(std::string)> pending;
    rig.views.onInput = [&pending](auto answer) { pending = std::move(answer); };
    ASSERT_TRUE(rig.worker->StepOnce());
    EXPECT_TRUE(rig.worker->Stepping());
    EXPECT_FALSE(rig.worker->StepOnce()) << "steps are not queued";
    ASSERT_TRUE(rig.PumpUntilSeen("input"));
    ASSERT_TRUE(rig.WaitsOn(TWait::Window));
    EXPECT_TRUE(rig.worker->Suspended()) << "a stepped run still reads as paused";
    EXPECT_FALSE(rig.worker->StepOnce());
    pending("7");
    ASSERT_TRUE(rig.Settle(0));
    ASSERT_TRUE(rig.PausedBetweenSteps());
    EXPECT_EQ(rig.worker->Machine().Registers()[0], 7);
    EXPECT_FALSE(rig.views.Saw("output Value: 7")) << "the Out is the next step";
    rig.worker->Resume();
    EXPECT_FALSE(rig.worker->StepOnce()) << "a running worker takes no step";
    EXPECT_FALSE(rig.worker->Stepping());
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_TRUE(rig.views.Saw("output Value: 7"));
}

TEST(EmulationStep, PausedWhileWaitingForInputFinishesThatStep)
{
    TStepRig rig({0xF7, 0x01, 0xF4, 0x01, 0x00});
    std::function<void(std::string)> pending;
    rig.views.onInput = [&pending](auto answer) { pending = std::move(answer); };
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpUntilSeen("input"));
    rig.worker->Suspend();
    ASSERT_TRUE(rig.worker->StepOnce());
    pending("9");
    ASSERT_TRUE(rig.Settle(0));
    ASSERT_TRUE(rig.PausedBetweenSteps());
    EXPECT_EQ(rig.views.events, (TEvents{"highlight 0", "input", "registers", "memory"}));
    EXPECT_EQ(rig.worker->Machine().Registers()[0], 9);
}

TEST(EmulationStep, PausedInsideAStepFinishesItOnly)
{
    TStepRig rig(EndlessLoop);
    rig.worker->Resume();
    ASSERT_TRUE(rig.window.WaitForPost());
    rig.worker->Suspend();
    ASSERT_TRUE(rig.window.RunOne()); // the highlight; the worker then holds inside the step
    ASSERT_TRUE(rig.WaitsOn(TWait::Resume));
    ASSERT_TRUE(rig.Step());
    ASSERT_TRUE(rig.PausedBetweenSteps());
    EXPECT_EQ(rig.views.events, (TEvents{"highlight 0", "registers", "memory"}));
}

TEST(EmulationStep, HaltDuringAStepHoldsItUntilResumed)
{
    TStepRig rig({0xF7, 0x01, 0xF4, 0x01, 0x00});
    rig.views.onInput = [&rig](auto answer) {
        rig.worker->Suspend(); // the Halt result
        answer("42");
    };
    ASSERT_TRUE(rig.worker->StepOnce());
    ASSERT_TRUE(rig.PumpUntilSeen("input"));
    ASSERT_TRUE(rig.WaitsOn(TWait::Resume));
    EXPECT_TRUE(rig.worker->Stepping());
    EXPECT_FALSE(rig.window.HasPost()) << "halted inside the step";
    EXPECT_EQ(rig.worker->Machine().Registers()[0], 0);
    rig.worker->Resume(); // lifts the Halt only
    ASSERT_TRUE(rig.Settle(0));
    ASSERT_TRUE(rig.PausedBetweenSteps());
    EXPECT_EQ(rig.worker->Machine().Registers()[0], 42);
    rig.worker->Resume();
    ASSERT_TRUE(rig.PumpToEnd());
    EXPECT_TRUE(rig.views.Saw("output Value: 42"));
}

struct TStepShutdownCase {
    const char* name;
    std::vector<std::uint8_t> image;
    std::chrono::milliseconds delay;
    std::string lastCall; // the call the worker makes before it is held
    TWait heldOn;
};

void PrintTo(const TStepShutdownCase& c, std::ostream* os) { *os << c.name; }

class StepShutdown : public ::testing::TestWithParam<TStepShutdownCase> {};

TEST_P(StepShutdown, EndsTheStepAndJoins)
{
    const TStepShutdownCase& c = GetParam();
    TStepRig rig(c.image, c.delay);
    std::function<void(std::string)> pending;
    rig.views.onInput = [&pending](auto answer) { pending = std::move(answer); };
    ASSERT_TRUE(rig.worker->StepOnce());
    ASSERT_TRUE(rig.PumpUntilSeen(c.lastCall));
    ASSERT_TRUE(rig.WaitsOn(c.heldOn));
    // A worker that Shutdown() failed to wake would never be joined.
    rig.worker->Shutdown();
    const TEvents seen = rig.views.events;
    if (pending)
        pending("1");
    rig.window.RunAll();
    EXPECT_EQ(rig.views.events, seen) << "no call after the shutdown";
    EXPECT_EQ(rig.finishedCalls, 0);
    EXPECT_FALSE(rig.worker->Stepping());
}

const TStepShutdownCase StepShutdownCases[] = {
    {"InTheStepDelay", {0x16, 0x16}, std::chrono::hours(24), "highlight 0", TWait::StepDelay},
    {"WaitingForInput", {0xF7, 0x01, 0x00}, 0ms, "input", TWait::Window},
};

INSTANTIATE_TEST_SUITE_P(During, StepShutdown, ::testing::ValuesIn(StepShutdownCases),
                         [](const ::testing::TestParamInfo<TStepShutdownCase>& row) { return row.param.name; });

} // namespace
