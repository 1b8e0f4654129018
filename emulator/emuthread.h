#pragma once
// The worker that runs one memory image, one instruction per step, paced for a person to follow.
// It reaches the window only through IWindowThread and IRunViews; the line it hands to
// AppendOutput is complete, "Value: " followed by the number (OutputLine).

#include "emulator/Machine.h"
#include "emulator/MemoryStream.h"
#include "emulator/RunHistory.h"
#include "emulator/WindowHooks.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// How fast a run goes: paced, with a delay after every step that takes effect and every step
// shown; or unpaced, as fast as the machine goes, its state shown at most every ViewInterval
// and its output lines in batches, in order.
struct TRunPace {
    std::chrono::milliseconds StepDelay{50};
    bool Unpaced = false;

    friend bool operator==(const TRunPace&, const TRunPace&) = default;
};

class TEmulationThread {
public:
    static constexpr std::chrono::milliseconds DefaultStepDelay = TRunPace{}.StepDelay;
    // An unpaced run refreshes the window about sixty times a second, no more.
    static constexpr std::chrono::milliseconds ViewInterval{16};

    // How a run ended: at a Stop byte, at a Reset with 170, at the end of the image (also a
    // jump outside it, or operand bytes missing there), by the stop flag or a termination
    // request (also Shutdown()), or by a failure that FatalException() holds.
    enum class TRunEnd { Running, StopByte, Reset, EndOfImage, Stopped, Failed };

    // What the worker thread is blocked on: a Resume (created, paused, or halted after a window
    // call), the step delay, or the answer of a window call. Nothing while it works or is done.
    enum class TWait { Nothing, Resume, StepDelay, Window };

    // Created paused: nothing runs until the first Resume(). The image is used by reference
    // and must outlive the worker. Tests may pass a shorter step delay; the product never does.
    TEmulationThread(TMemoryStream& image, IWindowThread& window, IRunViews& views,
                     std::chrono::milliseconds stepDelay = DefaultStepDelay);
    // Brings the worker down (as Shutdown()) and joins it.
    ~TEmulationThread();

    TEmulationThread(const TEmulationThread&) = delete;
    TEmulationThread& operator=(const TEmulationThread&) = delete;

    // Pauses nest: each Suspend() adds one, each Resume() lifts one; the worker runs only
    // when none is left. The first Resume() lifts the pause it was created with.
    void Resume();
    void Suspend();
    // True while any pause is left, including throughout a step that StepOnce() let run: the
    // window goes on offering "Resume" while the run is stepped.
    bool Suspended() const;

    // For a paused worker: lets exactly one step run, with all its hooks and its delay, and
    // has the worker wait again before the next step, the pause count unchanged. A worker
    // created paused starts its body and runs the first step. A worker paused inside a step
    // (in its delay, or after an input answer) finishes that step. A pause added during the
    // step (the Halt result) holds it until lifted, as without stepping. Returns false and
    // does nothing when the worker is not paused, has finished, or is still busy with the
    // previous step: steps are not queued.
    bool StepOnce();
    // From a StepOnce() that was taken until the worker waits before its next step or ends.
    bool Stepping() const;

    // The pace from the next step on. A step let run by StepOnce() is always a paced one, with
    // all its hooks; unpaced it has no delay.
    void SetPace(TRunPace pace);
    TRunPace Pace() const;

    // The addresses the run holds before, as at a Pause: every breakpoint, and the target
    // once (-1 for none), which is forgotten when the run holds anywhere. The run takes them
    // at its next step, an unpaced one within a few milliseconds. It never holds at the first
    // step after a pause, so it leaves the place it was held at when resumed.
    void SetBreakpoints(std::vector<std::int64_t> addresses);
    void SetRunTarget(std::int64_t address);

    // For a paused worker: takes back the last step, so that machine, image, step count and
    // output are as they were before it, and shows that state. Repeated, it walks back to the
    // start of the run, as far as the history kept allows (NoEarlierStep() says when not).
    // A worker paused inside a step, a stepped one too, first finishes that step. Returns
    // false and does nothing when the worker is not paused, has not started or has finished,
    // waits for input, or has a step granted or a step back under way.
    bool StepBack();
    // Test seam: the history's budget in bytes; set it before the first Resume().
    void SetHistoryBudget(std::size_t bytes);

    // The stop flag, read at the top of every step.
    void SetStop(bool stop);
    bool StopRequested() const;
    // The termination request: a worker asked before its body started never runs it.
    void Terminate();

    // For the window going away: wakes a paused worker, cuts the step delay short, cancels
    // a pending window call (its answer is then ignored), ends the run and joins the thread.
    // After it returns no call of this worker reaches the window. Window's thread only.
    void Shutdown();

    // True once the thread body has returned (or will never run).
    bool Finished() const;
    // Called once on the worker's thread as it ends, unless it was shut down.
    // Set it before the first Resume().
    void SetOnFinished(std::function<void()> onFinished);

    // The failure that ended the run, if any; kept, never reported.
    std::exception_ptr FatalException() const;
    // Why the run ended; Running until Finished().
    TRunEnd EndReason() const;
    // The opcode bytes fetched so far, each highlighted once: the step that ends the run at a
    // Stop byte, a Reset or a failure counts, finding the end of the image or the stop flag
    // does not; a step taken back no longer counts. Exact once Finished() and whenever the
    // worker waits in a window call; any thread may read it.
    std::uint64_t StepCount() const;
    // What the worker thread is blocked on right now.
    TWait WaitingOn() const;
    // The machine state; read it only while the worker waits in a window call, waits before a
    // step (WaitingOn() is Resume and Stepping() false), or has finished.
    const TMachine& Machine() const;

private:
    // The state shared with the window's thread. Posted calls and input answers hold it (and
    // their own call) by shared pointer, so one that arrives late, even after this object is
    // gone, finds it alive and does nothing.
    struct TControl;
    struct TCall;
    class THooks;
    class TUnpacedHooks;
    class TReplayHooks;

    void Run();
    TRunEnd RunSteps();
    // Unpaced steps until the run ends, holds, or has to look at its controls again.
    TRunEnd RunUnpaced();
    // Whether an unpaced run must leave its loop to stop, hold, or take new settings.
    bool MustLookAtControls() const;
    // False when shut down. Takes back steps asked for while it waits.
    bool WaitWhilePaused();
    void DelayStep();
    bool BreaksAt(std::int64_t address)
    {
        if (skipBreak_) [[unlikely]] {
            skipBreak_ = false;
            return false;
        }
        return static_cast<std::uint64_t>(address) < breaks_.size() && breaks_[address] != 0;
    }
    void TakeBreakpoints();
    void HoldAtBreakpoint();
    // Keeps the machine's state when one is due; returns the steps until the next is.
    std::uint64_t KeepHistory();
    void TakeStepBack();
    // Takes the machine, which is as it was after `from` steps, on to `to` steps, silently
    // and with the answers the run was given.
    void Replay(std::uint64_t from, std::uint64_t to);
    // The text for the In of the current step: the one given the first time, or the user's.
    std::string Answer();
    std::chrono::milliseconds StepDelay() const;
    // Waits, inside a step, until the worker may go on with it or is shut down.
    void WaitToFinishStep(std::unique_lock<std::mutex>& lock);
    // Where a window call is made: inside a step, whose rest a pause given meanwhile holds
    // back, or between steps, where the wait before the next step does that.
    enum class TCallAt { InsideStep, BetweenSteps };
    // Runs `show` on the window's thread and waits until it has.
    template <class TShow>
    void Show(TShow show, TCallAt at = TCallAt::InsideStep)
    {
        CallWindow(
            [show = std::move(show)](std::function<void(std::string)> answer) mutable {
                show();
                answer({});
            },
            at);
    }
    // Runs `body` on the window's thread and waits until it has called its answer.
    std::string CallWindow(std::function<void(std::function<void(std::string)>)> body,
                           TCallAt at = TCallAt::InsideStep);

    IWindowThread& window_;
    IRunViews& views_;
    std::atomic<std::chrono::milliseconds::rep> stepDelay_;
    std::atomic<bool> unpaced_{false};
    TMachine machine_;
    // The worker's own: the run's history, the output lines it sent, whether the step it is
    // about to take was let run by StepOnce(), and, per address, whether the run holds there
    // (BreakBit, TargetBit) and whether the next check is passed over after a pause.
    TRunHistory history_;
    std::uint64_t outputs_ = 0;
    bool steppingNow_ = false;
    static constexpr std::uint8_t BreakBit = 1;
    static constexpr std::uint8_t TargetBit = 2;
    std::vector<std::uint8_t> breaks_;
    bool skipBreak_ = false;
    // Written by the window's thread, read by the worker at the top of each step.
    std::atomic<bool> stop_{false};
    // Written by the worker alone, so counting costs no read-modify-write.
    std::atomic<std::uint64_t> steps_{0};
    std::shared_ptr<TControl> control_;
    std::thread thread_; // last: started by the constructor once everything else exists
};
