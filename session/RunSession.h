#pragma once
// The runs of one window. A run is a memory image with the worker that executes it; the
// session starts runs, pauses, resumes and stops the current one, keeps a replaced run until
// its worker has ended, serves every worker's hook calls on the window's thread (showing
// through a display, asking through an input prompt one request at a time) and brings all
// runs down when the window goes. It is no widget: a test drives it with a recording display
// and a scripted prompt.

#include "emulator/MemoryStream.h"
#include "emulator/RegisterFile.h"
#include "emulator/WindowHooks.h"
#include "emulator/emuthread.h"
#include "session/QtWindowThread.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class IInputPrompt;

class TRunSession : public QObject {
    Q_OBJECT
public:
    // The display must outlive the session's runs; Shutdown() (or the destructor) ends them.
    explicit TRunSession(IRunDisplay& display, QObject* parent = nullptr);
    ~TRunSession() override;

    // Test seam: the step delay handed to workers started from now on.
    void SetStepDelay(std::chrono::milliseconds delay) { pace_.StepDelay = delay; }
    // The pace of the current run from its next step on, and of the runs started later.
    void SetPace(TRunPace pace);
    TRunPace Pace() const { return pace_; }

    // The addresses runs hold before, the current one at its next step and every later one.
    void SetBreakpoints(std::vector<std::int64_t> addresses);
    // Holds the current run once before this address as well, or, without a going run, the
    // next one started.
    void SetRunTarget(std::int64_t address);
    // The prompt that serves input requests. Without one, a request fails and ends its run.
    void SetInputPrompt(IInputPrompt* prompt) { prompt_ = prompt; }
    // The answers the next run started gives its In instructions, in order, without the
    // prompt; once they are used up it asks the prompt as any run does.
    void SetScriptedInput(std::vector<std::string> answers) { script_ = std::move(answers); }

    // Starts a worker on the image and makes it the current run. The run it replaces is not
    // stopped: it goes on with its own image and is released once its worker has ended.
    // With `paused` the worker waits before its first instruction until Resume() or Step().
    void Start(std::unique_ptr<TMemoryStream> image, bool paused = false);
    // Each Pause() adds a pause to the current worker and each Resume() lifts one; Stop()
    // sets its stop flag and sends it the termination request without waiting. Without a
    // current run they do nothing.
    void Pause();
    void Resume();
    void Stop();
    // Lets the paused current run execute one instruction, with its hooks, and pause again.
    // False, doing nothing, without a paused current run or while it is still in a step.
    bool Step();
    // Takes back the last step of the paused current run; false, doing nothing, as
    // TEmulationThread::StepBack().
    bool StepBack();
    // Whether the current run's worker has not ended; false without one.
    bool Going() const;
    // Whether the current worker is paused; false without a current run.
    bool Paused() const;

    // The prompt's answer to the request it was opened for, handed to the worker that asked.
    // With `halt` the current run is paused first, so that its worker stops before using it.
    void AnswerInput(const std::string& text, bool halt);

    // Wakes, cancels and joins every worker and dismisses an open prompt. Afterwards no hook
    // call of any run reaches the display and input requests are ignored.
    void Shutdown();

    // The worker of the latest run, kept after it has ended; none before the first Start().
    TEmulationThread* CurrentWorker() const;
    // Runs held: the current one and every replaced one whose worker has not ended yet.
    std::size_t RunCount() const { return runs_.size(); }
    // Input requests not yet answered, the one the prompt shows included.
    std::size_t WaitingInputs() const { return pendingInputs_.size(); }
    // Whether one of them is the current run's: its worker waits for the answer.
    bool CurrentRunWaitsForInput() const;

signals:
    void RunStarted();
    // A run's worker has ended, after its last hook call; `current` when it was the current run.
    void RunEnded(bool current);
    // A worker, the current one or a replaced one, fetched an opcode and its cell is shown.
    void Stepped();
    // The current run's worker fetched the opcode at this address (after HighlightAddress).
    void CurrentRunAt(std::int64_t address);
    // After every pause or resume request, with whether the current worker is now paused.
    void PauseChanged(bool paused);
    // A run asked for input (the prompt may still be busy with an earlier request).
    void InputQueued();
    // The prompt was opened for a request, and that request was answered.
    void InputRequested();
    void InputAnswered();
    // The current run held itself at a breakpoint's address after `steps` steps (after
    // PauseChanged(true)).
    void HeldAtBreakpoint(std::int64_t address, std::uint64_t steps);
    // The current run's In took the text it was given before it was stepped back.
    void ReplayedInput(const QString& text);
    // A step back found no earlier step of the current run kept.
    void NoEarlierStep();
    // A run's In took this answer from the ones it was started with.
    void ScriptedInputTaken(const QString& text);

private:
    struct TRun;
    class TRunViews;
    // An input request and the run that made it.
    struct TInputRequest {
        int runId = 0;
        std::function<void(std::string)> answer;
    };

    // The hook calls that are the session's own business, on the window's thread.
    void HighlightAddress(int runId, std::int64_t address);
    void RequestInput(int runId, std::function<void(std::string)> answer);
    // The grid and the register list are the current run's; a replaced run only reports its
    // output and asks for input.
    bool IsCurrent(int runId) const;

    void WorkerEnded(int runId);
    void Release(const TRun* run);
    void ServeNextInput();

    IRunDisplay& display_;
    IInputPrompt* prompt_ = nullptr;
    TQtWindowThread windowThread_{*this};
    TRunPace pace_;
    std::vector<std::int64_t> breakpoints_;
    std::int64_t target_ = -1;
    std::vector<std::string> script_;
    std::vector<std::unique_ptr<TRun>> runs_;
    TRun* current_ = nullptr;
    int lastRunId_ = 0;
    std::deque<TInputRequest> pendingInputs_;
    bool promptOpen_ = false;
    bool shutDown_ = false;
};
