#include "emulator/RunHistory.h"

#include <algorithm>
#include <iterator>

namespace {

// Even a tiny image is copied no more often than this: a step back then replays at most this
// many steps, well under a millisecond.
constexpr std::uint64_t FewestStepsBetween = 4096;
// Steps per image byte between states: copying a byte costs far less than a step, so the
// copies stay around a percent of the run at full speed.
constexpr std::uint64_t StepsPerImageByte = 32;

std::size_t AnswerSize(const std::string& text)
{
    return sizeof(std::uint64_t) + sizeof(std::string) + text.capacity() + 4 * sizeof(void*);
}

} // namespace

TRunHistory::TState TRunHistory::TState::Of(const TMachine& machine, std::uint64_t step,
                                            std::uint64_t outputs)
{
    TState state;
    state.Step = step;
    state.Outputs = outputs;
    state.Registers = machine.Registers();
    state.Current = machine.Current();
    state.Page = machine.Page();
    state.Position = machine.Image().Position();
    state.OpcodeAddress = machine.OpcodeAddress();
    state.Bytes = machine.Image().Bytes();
    return state;
}

void TRunHistory::TState::RestoreInto(TMachine& machine) const
{
    machine.Restore(Registers, Current, Page, OpcodeAddress);
    machine.Image().Bytes() = Bytes;
    machine.Image().SetPosition(Position);
}

std::uint64_t TRunHistory::StepsUntilDue(std::uint64_t step, std::size_t imageSize) const
{
    if (states_.empty())
        return 0;
    const std::uint64_t apart = std::max(FewestStepsBetween, StepsPerImageByte * imageSize);
    const std::uint64_t last = states_.back().Step;
    return step >= last + apart ? 0 : last + apart - std::max(step, last);
}

void TRunHistory::Keep(const TMachine& machine, std::uint64_t step, std::uint64_t outputs)
{
    if (!states_.empty() && states_.back().Step >= step)
        return;
    states_.push_back(TState::Of(machine, step, outputs));
    bytes_ += states_.back().Size();
    // The newest state always stays, even alone over the budget: without it nothing could be
    // walked back at all.
    while (bytes_ > budget_ && states_.size() > 1)
        DropOldest();
}

void TRunHistory::KeepAnswer(std::uint64_t step, std::string text)
{
    const auto [at, added] = answers_.try_emplace(step, std::move(text));
    if (!added)
        return;
    bytes_ += AnswerSize(at->second);
    while (bytes_ > budget_ && states_.size() > 1)
        DropOldest();
}

const std::string* TRunHistory::AnswerOf(std::uint64_t step) const
{
    const auto at = answers_.find(step);
    return at == answers_.end() ? nullptr : &at->second;
}

const TRunHistory::TState* TRunHistory::Before(std::uint64_t step) const
{
    // The states are kept in step order.
    const auto after = std::upper_bound(states_.begin(), states_.end(), step,
                                        [](std::uint64_t s, const TState& state) {
                                            return s < state.Step;
                                        });
    return after == states_.begin() ? nullptr : &*std::prev(after);
}

void TRunHistory::DropOldest()
{
    bytes_ -= states_.front().Size();
    states_.pop_front();
    // Answers of steps up to the oldest state left are never replayed again.
    const std::uint64_t oldest = states_.front().Step;
    for (auto at = answers_.begin(); at != answers_.end() && at->first <= oldest;) {
        bytes_ -= AnswerSize(at->second);
        at = answers_.erase(at);
    }
}
