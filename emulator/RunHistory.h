#pragma once
// What a run has been through, kept so that it can be walked back: the machine's whole state
// every so many steps, and every answer the run was given. Any earlier step is then the
// nearest state kept before it, replayed forward with the same answers; the machine is
// deterministic, so nothing else needs keeping. Everything kept fits in a budget of bytes,
// the oldest states (and the answers only they would need) dropped first.

#include "emulator/Machine.h"
#include "emulator/RegisterFile.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

class TRunHistory {
public:
    static constexpr std::size_t DefaultBudget = std::size_t{64} << 20;

    // The machine's state after `Step` steps, with the output lines sent by then.
    struct TState {
        std::uint64_t Step = 0;
        std::uint64_t Outputs = 0;
        TRegisterFile Registers{};
        std::uint8_t Current = 0;
        std::uint8_t Page = 0;
        std::int64_t Position = 0;
        std::int64_t OpcodeAddress = -1;
        std::vector<std::uint8_t> Bytes;

        static TState Of(const TMachine& machine, std::uint64_t step, std::uint64_t outputs);
        // Puts the machine (and its image) back into this state.
        void RestoreInto(TMachine& machine) const;
        std::size_t Size() const { return sizeof(TState) + Bytes.capacity(); }
    };

    explicit TRunHistory(std::size_t budget = DefaultBudget) : budget_(budget) {}

    // Steps to go from `step` until a state is due; 0 when one is due now. States come the
    // further apart the larger the image, so that copying it stays a small part of a run.
    std::uint64_t StepsUntilDue(std::uint64_t step, std::size_t imageSize) const;
    // Keeps the state unless one for this step or a later one is kept already (the run was
    // walked back and goes over the same steps again).
    void Keep(const TMachine& machine, std::uint64_t step, std::uint64_t outputs);

    // The text entered for the In of this step, the first time it was executed.
    void KeepAnswer(std::uint64_t step, std::string text);
    const std::string* AnswerOf(std::uint64_t step) const;

    // The latest state kept at or before `step`; null when every such state has been dropped.
    const TState* Before(std::uint64_t step) const;

    std::size_t Bytes() const { return bytes_; }
    std::size_t Budget() const { return budget_; }

private:
    void DropOldest();

    std::size_t budget_;
    std::size_t bytes_ = 0;
    std::deque<TState> states_;
    std::map<std::uint64_t, std::string> answers_;
};
