#pragma once
// Every register list the window shows the machine's registers in. Each gets the same run
// starts and the same refreshes, so all of them show the same lines, the same current-register
// mark and the same change tints.

#include "emulator/RegisterFile.h"

#include <cstdint>
#include <vector>

class TRegisterListView;

class TRegisterLists {
public:
    // The list gets the refreshes from now on; it must outlive this object.
    void Add(TRegisterListView& list);

    void ShowRegisters(const TRegisterFile& registers, std::uint8_t current);
    void BeginRun(const TRegisterFile& start);

private:
    std::vector<TRegisterListView*> lists_;
};
