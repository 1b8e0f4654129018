#pragma once
// Machine hooks that write down every call, for checking what a step did and in which order.

#include "emulator/Machine.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct TRecordingHooks {
    std::vector<std::string> events;
    std::deque<std::string> inputs; // answers for Input(), in order; "" once they run out
    std::vector<std::string> outputs;
    TRegisterFile shownRegisters{};
    int shownCurrent = -1;

    void Position(std::int64_t address) { events.push_back("fetch " + std::to_string(address)); }
    void Output(const std::string& text)
    {
        events.push_back("output " + text);
        outputs.push_back(text);
    }
    std::string Input()
    {
        events.push_back("input");
        if (inputs.empty())
            return {};
        std::string text = inputs.front();
        inputs.pop_front();
        return text;
    }
    void Delay() { events.push_back("delay"); }
    void Registers(const TRegisterFile& registers, std::uint8_t current)
    {
        events.push_back("registers");
        shownRegisters = registers;
        shownCurrent = current;
    }
    void Memory(TMemoryStream&) { events.push_back("memory"); }
};

// A machine on its own image, reset and ready to step.
struct TMachineRig {
    TMemoryStream image;
    TMachine machine{image};
    TRecordingHooks hooks;

    explicit TMachineRig(std::vector<std::uint8_t> bytes) : image(std::move(bytes)) { machine.Reset(); }
    // The machine refers to this rig's own image, so a copy would run on the wrong one.
    TMachineRig(const TMachineRig&) = delete;
    TMachineRig& operator=(const TMachineRig&) = delete;

    bool Step() { return machine.Step(hooks); }
    // Steps until the run ends or `cap` steps have run; returns the number of steps taken.
    int Run(int cap = 10000)
    {
        int steps = 0;
        while (steps < cap) {
            ++steps;
            if (!Step())
                break;
        }
        return steps;
    }
};
