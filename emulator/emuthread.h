#pragma once
// The worker that runs one memory image, one instruction per step, paced for a person to follow.

#include "Machine.h"
#include "MemoryStream.h"
#include "WindowHooks.h"

#include <chrono>
#include <exception>
#include <functional>

class TEmulationThread {
public:
    static constexpr std::chrono::milliseconds DefaultStepDelay{50};

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
    bool Suspended() const;

    // The stop flag, read at the top of every step.
    void SetStop(bool stop);
    bool Stop() const;
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
    // The machine state; read it only while the worker waits in a window call or has finished.
    const TMachine& Machine() const;
};
