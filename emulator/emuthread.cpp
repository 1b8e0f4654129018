#include "emulator/emuthread.h"

#include "emulator/RegisterText.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace {

// Unwinds the worker when Shutdown() ends the run; it is not a failure of the run.
struct TShutdownSignal {};

// How a run ended, from why the machine's last step ended it.
TEmulationThread::TRunEnd RunEndOf(TMachineEnd end)
{
    switch (end) {
    case TMachineEnd::StopByte:
        return TEmulationThread::TRunEnd::StopByte;
    case TMachineEnd::Reset:
        return TEmulationThread::TRunEnd::Reset;
    case TMachineEnd::EndOfImage:
        return TEmulationThread::TRunEnd::EndOfImage;
    case TMachineEnd::None:
        break;
    }
    return TEmulationThread::TRunEnd::Running;
}

} // namespace

struct TEmulationThread::TCall {
    bool done = false;      // the window side has answered (or failed)
    bool cancelled = false; // Shutdown() gave up on it: running it later must do nothing
    std::string text;
    std::exception_ptr error;
};

struct TEmulationThread::TControl {
    std::mutex mutex;
    std::condition_variable wake;
    int pauses = 1;
    bool started = false; // the body has begun
    bool shutdown = false;
    // Set as the body returns, or at once by a termination request that came before the body
    // started: that request then needs no state of its own.
    bool finished = false;
    std::shared_ptr<TCall> pending;
    std::exception_ptr fatal;
    TRunEnd end = TRunEnd::Running;
    TWait waiting = TWait::Nothing;
    std::function<void()> onFinished;
    // StepOnce(): granted until the worker takes the step, then stepping until it waits before
    // the next one; stepPauses is the pause count the step was taken under.
    bool stepGranted = false;
    bool stepping = false;
    int stepPauses = 0;
    // StepBack(): asked for, until the worker takes it up before its next step.
    bool backWanted = false;
    // SetBreakpoints(): taken by the worker at its next step once changed.
    std::vector<std::int64_t> breakpoints;
    std::int64_t target = -1;
    bool breaksChanged = false;

    // The run is over, for this reason. Wakes a worker that has not started its body yet.
    void Finish(TRunEnd how)
    {
        end = how;
        finished = true;
        wake.notify_all();
    }

    // Whether the worker may begin a step: nothing holds it, or it has a step to take.
    bool MayStartStep() { return pauses == 0 || shutdown || TakeStep(); }

    // Whether the worker, held inside a step, may finish it: as MayStartStep(), or the step is
    // a stepped one and no pause was added since it was taken (a Halt holds it until lifted).
    // A step back wanted finishes the step first, to take it back whole.
    bool MayFinishStep()
    {
        return (stepping && pauses <= stepPauses) || backWanted || MayStartStep();
    }

    // Takes a granted step. Only the wait predicates call it, so under the mutex.
    bool TakeStep()
    {
        if (!stepGranted)
            return false;
        stepGranted = false;
        stepping = true;
        stepPauses = pauses;
        return true;
    }

    // Waits on `wake` until `done` holds, marked meanwhile as waiting on `what` for
    // WaitingOn(); the mark is only read and written under the mutex.
    template <class TDone>
    void Wait(std::unique_lock<std::mutex>& lock, TWait what, TDone done)
    {
        waiting = what;
        wake.wait(lock, done);
        waiting = TWait::Nothing;
    }
};

// The machine's hooks on the worker: each one is a call on the window's thread.
class TEmulationThread::THooks {
public:
    explicit THooks(TEmulationThread& owner) : owner_(owner), views_(&owner.views_) {}

    bool BreaksAt(std::int64_t address) { return owner_.BreaksAt(address); }

    void Position(std::int64_t address)
    {
        // Only this thread writes the count, so a plain load and store keep it exact.
        owner_.steps_.store(owner_.steps_.load(std::memory_order_relaxed) + 1,
                            std::memory_order_relaxed);
        Show([views = views_, address] { views->HighlightAddress(address); });
    }

    void Output(const std::string& text)
    {
        ++owner_.outputs_;
        Show([views = views_, line = OutputLine(text)] { views->AppendOutput(line); });
    }

    std::string Input() { return owner_.Answer(); }

    void Delay() { owner_.DelayStep(); }

    // The calls get copies of the registers: none of them may reach into the worker.
    void Registers(const TRegisterFile& registers, std::uint8_t current)
    {
        Show([views = views_, registers, current] { views->ShowRegisters(registers, current); });
    }

    // The image belongs to the window and outlives the worker.
    void Memory(TMemoryStream& image)
    {
        Show([views = views_, image = &image] { views->ShowMemory(*image); });
    }

private:
    template <class TShow>
    void Show(TShow show)
    {
        owner_.Show(std::move(show));
    }

    TEmulationThread& owner_;
    IRunViews* views_;
};

// The hooks of unpaced steps: they count and collect, and the window hears of them only when
// Flush() shows the latest state, a few dozen times a second.
class TEmulationThread::TUnpacedHooks {
public:
    explicit TUnpacedHooks(TEmulationThread& owner)
        : owner_(owner), steps_(owner.steps_.load(std::memory_order_relaxed))
    {
    }

    bool BreaksAt(std::int64_t address) { return owner_.BreaksAt(address); }
    void Position(std::int64_t) { ++steps_; }
    void Output(const std::string& text)
    {
        ++owner_.outputs_;
        lines_.push_back(OutputLine(text));
    }
    std::string Input()
    {
        // The student sees where the run is, and all it sent before, when it asks.
        Flush(TCallAt::InsideStep);
        return owner_.Answer();
    }
    void Delay() {}
    void Registers(const TRegisterFile&, std::uint8_t) {}
    void Memory(TMemoryStream&) {}

    // Hands the steps counted so far to StepCount().
    void Count() { owner_.steps_.store(steps_, std::memory_order_relaxed); }
    std::size_t LinesWaiting() const { return lines_.size(); }

    // Shows the output lines collected, in order, then where the run is, its registers and its
    // memory, in one window call.
    void Flush(TCallAt at = TCallAt::BetweenSteps)
    {
        Count();
        const TMachine& machine = owner_.machine_;
        owner_.Show([views = &owner_.views_, lines = std::move(lines_),
                     address = machine.OpcodeAddress(), registers = machine.Registers(),
                     current = machine.Current(), image = &owner_.machine_.Image()] {
            for (const std::string& line : lines)
                views->AppendOutput(line);
            views->HighlightAddress(address);
            views->ShowRegisters(registers, current);
            views->ShowMemory(*image);
        }, at);
        lines_.clear();
    }

private:
    TEmulationThread& owner_;
    std::uint64_t steps_;
    std::vector<std::string> lines_;
};

// The hooks of steps taken again to reach an earlier state: silent, with the answers the run
// was given.
class TEmulationThread::TReplayHooks {
public:
    TReplayHooks(const TRunHistory& history, std::uint64_t step, std::uint64_t outputs)
        : history_(history), step_(step), outputs_(outputs)
    {
    }

    void Position(std::int64_t) { ++step_; }
    void Output(const std::string&) { ++outputs_; }
    std::string Input()
    {
        // Every answer after the state a replay starts from is kept with it.
        const std::string* text = history_.AnswerOf(step_);
        return text ? *text : std::string{};
    }
    void Delay() {}
    void Registers(const TRegisterFile&, std::uint8_t) {}
    void Memory(TMemoryStream&) {}

    std::uint64_t Outputs() const { return outputs_; }

private:
    const TRunHistory& history_;
    std::uint64_t step_;
    std::uint64_t outputs_;
};

TEmulationThread::TEmulationThread(TMemoryStream& image, IWindowThread& window, IRunViews& views,
                                   std::chrono::milliseconds stepDelay)
    : window_(window), views_(views), stepDelay_(stepDelay.count()), machine_(image),
      control_(std::make_shared<TControl>()), thread_([this] { Run(); })
{
}

TEmulationThread::~TEmulationThread() { Shutdown(); }

void TEmulationThread::Resume()
{
    const std::lock_guard lock(control_->mutex);
    // Every lifted pause wakes the worker, not only the last: a stepped step held by a Halt
    // goes on once that one pause is lifted.
    if (control_->pauses > 0) {
        --control_->pauses;
        control_->wake.notify_all();
    }
}

void TEmulationThread::Suspend()
{
    const std::lock_guard lock(control_->mutex);
    ++control_->pauses;
}

bool TEmulationThread::Suspended() const
{
    const std::lock_guard lock(control_->mutex);
    return control_->pauses > 0;
}

bool TEmulationThread::StepOnce()
{
    const std::lock_guard lock(control_->mutex);
    const TControl& c = *control_;
    // A step back under way comes first: the worker takes the step once it is done.
    if (c.pauses == 0 || c.finished || c.shutdown || c.stepGranted || c.stepping)
        return false;
    control_->stepGranted = true;
    control_->wake.notify_all();
    return true;
}

bool TEmulationThread::Stepping() const
{
    const std::lock_guard lock(control_->mutex);
    return (control_->stepGranted || control_->stepping) && !control_->finished;
}

void TEmulationThread::SetPace(TRunPace pace)
{
    stepDelay_.store(pace.StepDelay.count());
    unpaced_.store(pace.Unpaced);
}

TRunPace TEmulationThread::Pace() const { return {StepDelay(), unpaced_.load()}; }

std::chrono::milliseconds TEmulationThread::StepDelay() const
{
    return std::chrono::milliseconds{stepDelay_.load()};
}

void TEmulationThread::SetBreakpoints(std::vector<std::int64_t> addresses)
{
    const std::lock_guard lock(control_->mutex);
    control_->breakpoints = std::move(addresses);
    control_->breaksChanged = true;
}

void TEmulationThread::SetRunTarget(std::int64_t address)
{
    const std::lock_guard lock(control_->mutex);
    control_->target = address;
    control_->breaksChanged = true;
}

bool TEmulationThread::StepBack()
{
    const std::lock_guard lock(control_->mutex);
    const TControl& c = *control_;
    // A step under way is finished first; one granted but not yet taken would come after.
    if (c.pauses == 0 || !c.started || c.finished || c.shutdown || c.stepGranted ||
        c.backWanted || c.waiting == TWait::Window)
        return false;
    control_->backWanted = true;
    control_->wake.notify_all();
    return true;
}

void TEmulationThread::SetHistoryBudget(std::size_t bytes) { history_ = TRunHistory(bytes); }

void TEmulationThread::SetStop(bool stop) { stop_.store(stop); }

bool TEmulationThread::StopRequested() const { return stop_.load(); }

void TEmulationThread::Terminate()
{
    const std::lock_guard lock(control_->mutex);
    // Once the body has begun the request changes nothing: the stop flag ends that run.
    if (!control_->started)
        control_->Finish(TRunEnd::Stopped);
}

void TEmulationThread::Shutdown()
{
    {
        const std::lock_guard lock(control_->mutex);
        control_->shutdown = true;
        if (control_->pending)
            control_->pending->cancelled = true;
        control_->wake.notify_all();
    }
    if (!thread_.joinable())
        return;
    if (thread_.get_id() == std::this_thread::get_id())
        thread_.detach(); // brought down from its own OnFinished: nothing left to wait for
    else
        thread_.join();
}

bool TEmulationThread::Finished() const
{
    const std::lock_guard lock(control_->mutex);
    return control_->finished;
}

void TEmulationThread::SetOnFinished(std::function<void()> onFinished)
{
    const std::lock_guard lock(control_->mutex);
    control_->onFinished = std::move(onFinished);
}

std::exception_ptr TEmulationThread::FatalException() const
{
    const std::lock_guard lock(control_->mutex);
    return control_->fatal;
}

TEmulationThread::TRunEnd TEmulationThread::EndReason() const
{
    const std::lock_guard lock(control_->mutex);
    return control_->end;
}

std::uint64_t TEmulationThread::StepCount() const { return steps_.load(); }

TEmulationThread::TWait TEmulationThread::WaitingOn() const
{
    const std::lock_guard lock(control_->mutex);
    return control_->waiting;
}

const TMachine& TEmulationThread::Machine() const { return machine_; }

void TEmulationThread::Run()
{
    // A local reference keeps the shared state alive for the very end, when this object may
    // already be on its way out.
    const std::shared_ptr<TControl> control = control_;
    bool runBody = false;
    {
        std::unique_lock lock(control->mutex);
        control->Wait(lock, TWait::Resume, [&] {
            // A granted step starts the body; the first step's wait then takes it. Finished
            // this early means a termination request: the body never runs.
            return control->pauses == 0 || control->stepGranted || control->finished ||
                   control->shutdown;
        });
        runBody = !control->finished && !control->shutdown;
        control->started = runBody;
    }
    TRunEnd end = TRunEnd::Stopped;
    if (runBody) {
        // The stop flag is not cleared here: it starts false with the worker, and clearing it
        // now could swallow a Stop given just after the first Resume().
        try {
            machine_.Reset();
            end = RunSteps();
        } catch (const TShutdownSignal&) {
        } catch (...) {
            const std::lock_guard lock(control->mutex);
            control->fatal = std::current_exception();
            end = TRunEnd::Failed;
        }
    }
    std::function<void()> onFinished;
    {
        const std::lock_guard lock(control->mutex);
        control->Finish(end);
        if (!control->shutdown)
            onFinished = control->onFinished;
    }
    if (onFinished)
        onFinished();
}

TEmulationThread::TRunEnd TEmulationThread::RunSteps()
{
    THooks hooks(*this);
    while (WaitWhilePaused()) {
        if (stop_.load())
            return TRunEnd::Stopped;
        if (unpaced_.load() && !steppingNow_) {
            if (const TRunEnd end = RunUnpaced(); end != TRunEnd::Running)
                return end;
            continue;
        }
        KeepHistory();
        if (machine_.Run(hooks, 1) == 0) {
            HoldAtBreakpoint();
            continue;
        }
        if (machine_.EndReason() != TMachineEnd::None)
            return RunEndOf(machine_.EndReason());
    }
    return TRunEnd::Stopped; // shut down
}

TEmulationThread::TRunEnd TEmulationThread::RunUnpaced()
{
    // Steps go in chunks small enough that Pause, Stop and closing act within a millisecond or
    // so, and large enough that looking at the controls costs nothing measurable.
    constexpr std::uint64_t ChunkSteps = 1 << 16;
    // A program that sends a line every step hands its lines over in batches of this many.
    constexpr std::size_t MostLinesWaiting = 4096;
    using TClock = std::chrono::steady_clock;

    TUnpacedHooks hooks(*this);
    TClock::time_point shown = TClock::now();
    try {
        for (;;) {
            // A chunk ends where the next state is due, so that it is kept between chunks.
            const std::uint64_t chunk = std::min(ChunkSteps, KeepHistory());
            const std::uint64_t taken = machine_.Run(hooks, chunk);
            hooks.Count();
            if (machine_.EndReason() != TMachineEnd::None) {
                hooks.Flush();
                return RunEndOf(machine_.EndReason());
            }
            if (taken < chunk) {
                hooks.Flush();
                HoldAtBreakpoint();
                return TRunEnd::Running;
            }
            const TClock::time_point now = TClock::now();
            if (now - shown >= ViewInterval || hooks.LinesWaiting() >= MostLinesWaiting) {
                hooks.Flush();
                shown = now;
            }
            if (MustLookAtControls()) {
                hooks.Flush();
                return TRunEnd::Running;
            }
        }
    } catch (const TShutdownSignal&) {
        throw;
    } catch (...) {
        // A failed step: what it and the steps before it did is shown, as paced.
        hooks.Count();
        const std::exception_ptr failure = std::current_exception();
        hooks.Flush();
        std::rethrow_exception(failure);
    }
}

bool TEmulationThread::MustLookAtControls() const
{
    if (stop_.load(std::memory_order_relaxed) || !unpaced_.load(std::memory_order_relaxed))
        return true;
    const std::lock_guard lock(control_->mutex);
    const TControl& c = *control_;
    return c.pauses > 0 || c.shutdown || c.breaksChanged || c.backWanted;
}

bool TEmulationThread::WaitWhilePaused()
{
    std::unique_lock lock(control_->mutex);
    TControl& control = *control_;
    control.stepping = false; // a stepped step ends here, before the next one begins
    // Held by a pause, the run passes over the breakpoint of the place it was held at.
    bool held = control.pauses > 0;
    for (;;) {
        if (!control.backWanted && !control.MayStartStep()) {
            held = true;
            control.Wait(lock, TWait::Resume,
                         [&control] { return control.backWanted || control.MayStartStep(); });
        }
        if (control.shutdown)
            return false;
        if (!control.backWanted)
            break;
        lock.unlock();
        TakeStepBack();
        lock.lock();
        control.backWanted = false;
    }
    steppingNow_ = control.stepping;
    if (held)
        skipBreak_ = true;
    if (control.breaksChanged)
        TakeBreakpoints();
    return true;
}

void TEmulationThread::TakeBreakpoints()
{
    // Under the mutex, from WaitWhilePaused().
    TControl& control = *control_;
    control.breaksChanged = false;
    breaks_.clear();
    const auto mark = [this](std::int64_t address, std::uint8_t bit) {
        if (address < 0)
            return;
        const auto at = static_cast<std::size_t>(address);
        if (at >= breaks_.size())
            breaks_.resize(at + 1, 0);
        breaks_[at] |= bit;
    };
    for (const std::int64_t address : control.breakpoints)
        mark(address, BreakBit);
    mark(control.target, TargetBit);
}

void TEmulationThread::HoldAtBreakpoint()
{
    const std::int64_t address = machine_.Image().Position();
    {
        const std::lock_guard lock(control_->mutex);
        ++control_->pauses;
        control_->target = -1;
    }
    // The one-time target is gone once the run holds anywhere.
    for (std::uint8_t& at : breaks_)
        at &= static_cast<std::uint8_t>(~TargetBit);
    // However soon the run is resumed, it leaves this place before it looks for breakpoints.
    skipBreak_ = true;
    const std::uint64_t steps = steps_.load(std::memory_order_relaxed);
    Show([views = &views_, address, steps] { views->HeldAtBreakpoint(address, steps); },
         TCallAt::BetweenSteps);
}

std::uint64_t TEmulationThread::KeepHistory()
{
    const std::uint64_t step = steps_.load(std::memory_order_relaxed);
    const std::size_t imageSize = machine_.Image().Bytes().size();
    if (const std::uint64_t due = history_.StepsUntilDue(step, imageSize); due > 0)
        return due;
    history_.Keep(machine_, step, outputs_);
    return history_.StepsUntilDue(step, imageSize);
}

std::string TEmulationThread::Answer()
{
    const std::uint64_t step = steps_.load(std::memory_order_relaxed);
    if (const std::string* kept = history_.AnswerOf(step)) {
        const std::string text = *kept;
        Show([views = &views_, text] { views->ReplayedInput(text); });
        return text;
    }
    std::string text = CallWindow([views = &views_](std::function<void(std::string)> answer) {
        views->RequestInput(std::move(answer));
    });
    history_.KeepAnswer(step, text);
    return text;
}

void TEmulationThread::Replay(std::uint64_t from, std::uint64_t to)
{
    TReplayHooks hooks(history_, from, outputs_);
    machine_.Run(hooks, to - from);
    outputs_ = hooks.Outputs();
}

void TEmulationThread::TakeStepBack()
{
    const std::uint64_t now = steps_.load(std::memory_order_relaxed);
    if (now == 0 || !history_.Before(now - 1)) {
        Show([views = &views_] { views->NoEarlierStep(); }, TCallAt::BetweenSteps);
        return;
    }
    const std::uint64_t step = now - 1;
    const std::uint64_t outputsBefore = outputs_;
    // The state before the one the run goes back to is shown first, when it is still to be
    // had, so that the views tint what that step changed, as they did when it was taken.
    const TRunHistory::TState* earlier = step > 0 ? history_.Before(step - 1) : nullptr;
    const TRunHistory::TState& from = earlier ? *earlier : *history_.Before(step);
    from.RestoreInto(machine_);
    outputs_ = from.Outputs;
    Replay(from.Step, earlier ? step - 1 : step);
    TRunHistory::TState before = TRunHistory::TState::Of(machine_, step, outputs_);
    if (earlier)
        Replay(step - 1, step);
    steps_.store(step, std::memory_order_relaxed);
    Show([views = &views_, before = std::move(before),
                        registers = machine_.Registers(), current = machine_.Current(),
                        image = &machine_.Image(), address = machine_.OpcodeAddress(),
                        removed = outputsBefore - outputs_]() mutable {
        TMemoryStream earlierImage(std::move(before.Bytes));
        views->ShowRegisters(before.Registers, before.Current);
        views->ShowMemory(earlierImage);
        views->ShowRegisters(registers, current);
        views->ShowMemory(*image);
        views->RemoveOutput(removed);
        views->HighlightAddress(address);
    }, TCallAt::BetweenSteps);
}

void TEmulationThread::DelayStep()
{
    // Waiting on the condition instead of sleeping lets Shutdown() cut the delay short, and a
    // step back need not wait for it either.
    std::unique_lock lock(control_->mutex);
    control_->waiting = TWait::StepDelay;
    const std::chrono::milliseconds delay = unpaced_.load() ? std::chrono::milliseconds{0}
                                                            : StepDelay();
    control_->wake.wait_for(lock, delay,
                            [this] { return control_->shutdown || control_->backWanted; });
    WaitToFinishStep(lock);
    if (control_->shutdown)
        throw TShutdownSignal{};
}

void TEmulationThread::WaitToFinishStep(std::unique_lock<std::mutex>& lock)
{
    control_->Wait(lock, TWait::Resume, [this] { return control_->MayFinishStep(); });
}

std::string TEmulationThread::CallWindow(std::function<void(std::function<void(std::string)>)> body,
                                         TCallAt at)
{
    const std::shared_ptr<TControl> control = control_;
    const auto call = std::make_shared<TCall>();
    {
        const std::lock_guard lock(control->mutex);
        if (control->shutdown)
            throw TShutdownSignal{};
        control->pending = call;
    }
    auto answer = [control, call](std::string text) {
        const std::lock_guard lock(control->mutex);
        if (call->done || call->cancelled)
            return;
        call->text = std::move(text);
        call->done = true;
        control->wake.notify_all();
    };
    // Why this wait cannot deadlock: the worker posts without holding the mutex and then waits
    // only on its own condition, never on the window's thread. The window side takes the mutex
    // just long enough to look at or answer the call, and never waits for the worker, except
    // in Shutdown(), which first cancels the pending call and wakes the worker, so the worker
    // leaves this wait on its own and the join returns.
    try {
        window_.Post([control, call, body = std::move(body), answer]() {
            {
                const std::lock_guard lock(control->mutex);
                if (call->cancelled)
                    return;
            }
            try {
                body(answer);
            } catch (...) {
                const std::lock_guard lock(control->mutex);
                if (!call->done && !call->cancelled) {
                    call->error = std::current_exception();
                    call->done = true;
                    control->wake.notify_all();
                }
            }
        });
    } catch (...) {
        const std::lock_guard lock(control->mutex);
        control->pending.reset();
        throw;
    }
    std::unique_lock lock(control->mutex);
    control->Wait(lock, TWait::Window, [&] { return call->done || control->shutdown; });
    control->pending.reset();
    // A pause given while the call ran (the Halt result) takes effect before its result is used.
    if (at == TCallAt::InsideStep)
        WaitToFinishStep(lock);
    if (control->shutdown) {
        call->cancelled = true;
        throw TShutdownSignal{};
    }
    if (call->error)
        std::rethrow_exception(call->error);
    return std::move(call->text);
}
