#pragma once
// What a run shows while it goes: the display half of the worker's hooks. The run session
// forwards the worker's calls here, on the window's thread, while the worker waits; input is
// the session's own business (see IInputPrompt).

#include "MemoryStream.h"
#include "RegisterFile.h"

#include <cstdint>
#include <string>

class IRunDisplay {
public:
    virtual ~IRunDisplay() = default;
    // Selects exactly the cell of the byte at this address, without scrolling; an address
    // outside the grid leaves nothing selected.
    virtual void HighlightAddress(std::int64_t address) = 0;
    // Rewrites the register list: one line per register, the current one marked.
    virtual void ShowRegisters(const TRegisterFile& registers, std::uint8_t current) = 0;
    // Rewrites the memory grid from the whole image; leaves image.Position() as it found it.
    virtual void ShowMemory(TMemoryStream& image) = 0;
    // Appends one line to the output pane.
    virtual void AppendOutput(const std::string& line) = 0;
};
