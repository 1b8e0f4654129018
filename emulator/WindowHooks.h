#pragma once
// The only way a running machine reaches the window. The emulator knows the window through
// these small interfaces: the workbench window implements them, tests with recorders.

#include "emulator/MemoryStream.h"
#include "emulator/RegisterFile.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Runs calls on the window's thread.
class IWindowThread {
public:
    virtual ~IWindowThread() = default;
    // Queues `call` to run once, later, on the window's thread, in the order posted.
    // Safe to call from any thread. The call may be dropped if the window is going away.
    virtual void Post(std::function<void()> call) = 0;
};

// What a run shows. Every method is called on the window's thread only, while the worker
// that called it waits, so the machine state and the image can be read without a lock.
// An exception thrown here goes back to the worker and ends its run.
class IRunDisplay {
public:
    virtual ~IRunDisplay() = default;
    // Position hook: select exactly the memory grid's cell of the opcode byte at this
    // address, without scrolling; an address outside the grid leaves nothing selected.
    virtual void HighlightAddress(std::int64_t address) = 0;
    // Register hook: rewrite the register list, one line per register, the current one marked.
    virtual void ShowRegisters(const TRegisterFile& registers, std::uint8_t current) = 0;
    // Memory hook: rewrite the memory grid from the whole image; must leave image.Position()
    // as it found it.
    virtual void ShowMemory(TMemoryStream& image) = 0;
    // Output hook: append one line ("Value: " and the number) to the output pane.
    virtual void AppendOutput(const std::string& line) = 0;
    // A step taken back: remove the last `lines` lines the output hook appended.
    virtual void RemoveOutput(std::size_t lines) = 0;
};

// What a run shows and asks, under the same rules.
class IRunViews : public IRunDisplay {
public:
    // Input hook: ask the user; call `answer` exactly once, on the window's thread, with the
    // entered text - at once or later (the dialog may be busy with another run).
    virtual void RequestInput(std::function<void(std::string)> answer) = 0;

    // The run held itself before the instruction at this address, which carries a breakpoint,
    // after `steps` steps: it is paused now.
    virtual void HeldAtBreakpoint(std::int64_t address, std::uint64_t steps) = 0;
    // An In executed again took the text it was given the first time, without asking.
    virtual void ReplayedInput(const std::string& text) = 0;
    // A step back found no earlier step kept; the run is as it was.
    virtual void NoEarlierStep() = 0;
};
