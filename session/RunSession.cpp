#include "session/RunSession.h"

#include "emulator/emuthread.h"
#include "session/InputPrompt.h"

#include <QTimer>

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

// One run's hook calls: what only shows goes straight to the display; where the run is and
// what it asks go through the session, which tells the current run from replaced ones and
// serves one input request at a time.
class TRunSession::TRunViews : public IRunViews {
public:
    TRunViews(TRunSession& session, int id) : session_(session), id_(id) {}

    void HighlightAddress(std::int64_t address) override
    {
        session_.HighlightAddress(id_, address);
    }
    void ShowRegisters(const TRegisterFile& registers, std::uint8_t current) override
    {
        session_.display_.ShowRegisters(registers, current);
    }
    void ShowMemory(TMemoryStream& image) override { session_.display_.ShowMemory(image); }
    void AppendOutput(const std::string& line) override { session_.display_.AppendOutput(line); }
    void RemoveOutput(std::size_t lines) override { session_.display_.RemoveOutput(lines); }
    void RequestInput(std::function<void(std::string)> answer) override
    {
        session_.RequestInput(id_, std::move(answer));
    }
    // Only the current run is held, stepped or stepped back by the student.
    void HeldAtBreakpoint(std::int64_t address, std::uint64_t steps) override
    {
        if (!session_.IsCurrent(id_))
            return;
        emit session_.PauseChanged(true);
        emit session_.HeldAtBreakpoint(address, steps);
    }
    void ReplayedInput(const std::string& text) override
    {
        if (session_.IsCurrent(id_))
            emit session_.ReplayedInput(QString::fromStdString(text));
    }
    void NoEarlierStep() override
    {
        if (session_.IsCurrent(id_))
            emit session_.NoEarlierStep();
    }

private:
    TRunSession& session_;
    int id_;
};

// The image and the views are declared first so that they outlive the worker that uses them
// by reference.
struct TRunSession::TRun {
    int id = 0;
    std::unique_ptr<TMemoryStream> image;
    std::unique_ptr<TRunViews> views;
    std::unique_ptr<TEmulationThread> worker;
    // Answers for its In instructions still to be given, first one first.
    std::deque<std::string> script;
    // The worker's end notice has reached the session.
    bool endNoticed = false;
};

TRunSession::TRunSession(IRunDisplay& display, QObject* parent)
    : QObject(parent), display_(display)
{
}

TRunSession::~TRunSession()
{
    Shutdown();
}

// ---- runs ----------------------------------------------------------------------------------

void TRunSession::Start(std::unique_ptr<TMemoryStream> image, bool paused)
{
    auto run = std::make_unique<TRun>();
    run->id = ++lastRunId_;
    run->image = std::move(image);
    run->views = std::make_unique<TRunViews>(*this, run->id);
    run->script.assign(std::make_move_iterator(script_.begin()),
                       std::make_move_iterator(script_.end()));
    script_.clear();
    run->worker = std::make_unique<TEmulationThread>(*run->image, windowThread_, *run->views,
                                                     pace_.StepDelay);
    run->worker->SetPace(pace_);
    run->worker->SetBreakpoints(breakpoints_);
    run->worker->SetRunTarget(std::exchange(target_, -1));
    const int id = run->id;
    run->worker->SetOnFinished([this, id] {
        // On the worker's thread: only hand the notice over; the session releases the run.
        windowThread_.Post([this, id] { WorkerEnded(id); });
    });
    // A replaced run goes on unwatched: nobody would see it hold, or resume it.
    if (current_) {
        current_->worker->SetBreakpoints({});
        current_->worker->SetRunTarget(-1);
    }
    const TRun* previous = current_;
    runs_.push_back(std::move(run));
    current_ = runs_.back().get();
    if (previous && (previous->endNoticed || previous->worker->Finished()))
        Release(previous);
    if (!paused)
        current_->worker->Resume();
    emit RunStarted();
    if (paused)
        emit PauseChanged(true);
}

void TRunSession::WorkerEnded(int runId)
{
    const auto it = std::find_if(runs_.begin(), runs_.end(),
                                 [runId](const auto& run) { return run->id == runId; });
    if (it == runs_.end())
        return;
    (*it)->endNoticed = true;
    // The current run stays: Pause() and Stop() still act on it after it has ended.
    const bool current = it->get() == current_;
    if (!current)
        runs_.erase(it);
    emit RunEnded(current);
}

void TRunSession::Release(const TRun* run)
{
    std::erase_if(runs_, [run](const auto& held) { return held.get() == run; });
}

bool TRunSession::IsCurrent(int runId) const
{
    return current_ && current_->id == runId;
}

TEmulationThread* TRunSession::CurrentWorker() const
{
    return current_ ? current_->worker.get() : nullptr;
}

void TRunSession::Pause()
{
    if (!current_)
        return;
    current_->worker->Suspend();
    emit PauseChanged(true);
}

void TRunSession::Resume()
{
    if (!current_)
        return;
    current_->worker->Resume();
    emit PauseChanged(current_->worker->Suspended());
}

bool TRunSession::Step()
{
    return current_ && current_->worker->StepOnce();
}

bool TRunSession::StepBack()
{
    return current_ && current_->worker->StepBack();
}

void TRunSession::SetPace(TRunPace pace)
{
    pace_ = pace;
    if (current_)
        current_->worker->SetPace(pace);
}

void TRunSession::SetBreakpoints(std::vector<std::int64_t> addresses)
{
    breakpoints_ = std::move(addresses);
    if (Going())
        current_->worker->SetBreakpoints(breakpoints_);
}

void TRunSession::SetRunTarget(std::int64_t address)
{
    target_ = address;
    if (Going())
        current_->worker->SetRunTarget(std::exchange(target_, -1));
}

bool TRunSession::Going() const
{
    return current_ && !current_->endNoticed && !current_->worker->Finished();
}

bool TRunSession::Paused() const
{
    return current_ && current_->worker->Suspended();
}

void TRunSession::Stop()
{
    if (!current_)
        return;
    current_->worker->SetStop(true);
    current_->worker->Terminate();
}

// ---- hook calls ----------------------------------------------------------------------------

void TRunSession::HighlightAddress(int runId, std::int64_t address)
{
    display_.HighlightAddress(address);
    emit Stepped();
    if (IsCurrent(runId))
        emit CurrentRunAt(address);
}

// ---- input ---------------------------------------------------------------------------------

void TRunSession::RequestInput(int runId, std::function<void(std::string)> answer)
{
    // Left unanswered: the asking worker is being brought down and its answer would be ignored.
    if (shutDown_)
        return;
    const auto run = std::find_if(runs_.begin(), runs_.end(),
                                  [runId](const auto& held) { return held->id == runId; });
    if (run != runs_.end() && !(*run)->script.empty()) {
        std::string text = std::move((*run)->script.front());
        (*run)->script.pop_front();
        emit ScriptedInputTaken(QString::fromStdString(text));
        answer(std::move(text));
        return;
    }
    if (!prompt_)
        throw std::runtime_error("No input dialog");
    pendingInputs_.push_back({runId, std::move(answer)});
    emit InputQueued();
    ServeNextInput();
}

bool TRunSession::CurrentRunWaitsForInput() const
{
    return std::any_of(pendingInputs_.begin(), pendingInputs_.end(),
                       [this](const TInputRequest& request) { return IsCurrent(request.runId); });
}

void TRunSession::ServeNextInput()
{
    // One request at a time: a request that arrives while the prompt is open waits its turn.
    if (shutDown_ || promptOpen_ || pendingInputs_.empty() || !prompt_)
        return;
    promptOpen_ = true;
    prompt_->Open();
    emit InputRequested();
}

void TRunSession::AnswerInput(const std::string& text, bool halt)
{
    if (!promptOpen_ || pendingInputs_.empty())
        return;
    promptOpen_ = false;
    auto answer = std::move(pendingInputs_.front().answer);
    pendingInputs_.pop_front();
    // The pause goes in before the worker gets its text, so it stops before using it.
    if (halt)
        Pause();
    answer(text);
    emit InputAnswered();
    // The prompt is reopened from the event loop, once the one answering has finished closing.
    if (!pendingInputs_.empty())
        QTimer::singleShot(0, this, &TRunSession::ServeNextInput);
}

// ---- shutdown ------------------------------------------------------------------------------

void TRunSession::Shutdown()
{
    shutDown_ = true;
    // Every worker is woken, its pending window call cancelled, and joined; after this no
    // hook call of any run reaches the display, so the queued answers can simply be dropped.
    for (const auto& run : runs_)
        run->worker->Shutdown();
    pendingInputs_.clear();
    if (promptOpen_) {
        promptOpen_ = false;
        if (prompt_)
            prompt_->Dismiss();
    }
    current_ = nullptr;
    runs_.clear();
}
