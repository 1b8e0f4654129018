#include "emulator/emuthread.h"

#include "emulator/RegisterText.h"

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
    bool MayFinishStep() { return (stepping && pauses <= stepPauses) || MayStartStep(); }

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

    void Position(std::int64_t address)
    {
        // Only this thread writes the count, so a plain load and store keep it exact.
        owner_.steps_.store(owner_.steps_.load(std::memory_order_relaxed) + 1,
                            std::memory_order_relaxed);
        Show([views = views_, address] { views->HighlightAddress(address); });
    }

    void Output(const std::string& text)
    {
        Show([views = views_, line = OutputLine(text)] { views->AppendOutput(line); });
    }

    std::string Input()
    {
        return owner_.CallWindow([views = views_](std::function<void(std::string)> answer) {
            views->RequestInput(std::move(answer));
        });
    }

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
        owner_.CallWindow([show = std::move(show)](std::function<void(std::string)> answer) {
            show();
            answer({});
        });
    }

    TEmulationThread& owner_;
    IRunViews* views_;
};

TEmulationThread::TEmulationThread(TMemoryStream& image, IWindowThread& window, IRunViews& views,
                                   std::chrono::milliseconds stepDelay)
    : window_(window), views_(views), stepDelay_(stepDelay), machine_(image),
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
        if (!machine_.Step(hooks))
            return RunEndOf(machine_.EndReason());
    }
    return TRunEnd::Stopped; // shut down
}

bool TEmulationThread::WaitWhilePaused()
{
    std::unique_lock lock(control_->mutex);
    control_->stepping = false; // a stepped step ends here, before the next one begins
    control_->Wait(lock, TWait::Resume, [this] { return control_->MayStartStep(); });
    return !control_->shutdown;
}

void TEmulationThread::DelayStep()
{
    // Waiting on the condition instead of sleeping lets Shutdown() cut the delay short.
    std::unique_lock lock(control_->mutex);
    control_->waiting = TWait::StepDelay;
    control_->wake.wait_for(lock, stepDelay_, [this] { return control_->shutdown; });
    WaitToFinishStep(lock);
    if (control_->shutdown)
        throw TShutdownSignal{};
}

void TEmulationThread::WaitToFinishStep(std::unique_lock<std::mutex>& lock)
{
    control_->Wait(lock, TWait::Resume, [this] { return control_->MayFinishStep(); });
}

std::string TEmulationThread::CallWindow(std::function<void(std::function<void(std::string)>)> body)
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
    WaitToFinishStep(lock);
    if (control->shutdown) {
        call->cancelled = true;
        throw TShutdownSignal{};
    }
    if (call->error)
        std::rethrow_exception(call->error);
    return std::move(call->text);
}
