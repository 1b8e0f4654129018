#pragma once
// A window stand-in for the worker: posted calls queue up and run on the test's own thread,
// which thereby plays the window's thread; the views write down what they were asked to show.

#include "emulator/WindowHooks.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

class TTestWindow : public IWindowThread {
public:
    void Post(std::function<void()> call) override
    {
        const std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
        changed_.notify_all();
    }

    // Wakes PumpUntil() for a condition that no posted call announces (the worker ending).
    void Nudge()
    {
        const std::lock_guard lock(mutex_);
        nudged_ = true;
        changed_.notify_all();
    }

    // Runs posted calls here until `done` holds; false if it still does not after `timeout`.
    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            if (!RunOne()) {
                std::unique_lock lock(mutex_);
                if (!changed_.wait_until(lock, deadline, [this] { return !calls_.empty() || nudged_; }))
                    return done();
                nudged_ = false;
            }
        }
        return true;
    }

    // True when a call is queued and not yet run.
    bool HasPost()
    {
        const std::lock_guard lock(mutex_);
        return !calls_.empty();
    }

    // True once a call is queued (without running it); false if none comes within `timeout`.
    bool WaitForPost(std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [this] { return !calls_.empty(); });
    }

    bool RunOne()
    {
        std::function<void()> call;
        {
            const std::lock_guard lock(mutex_);
            if (calls_.empty())
                return false;
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        call();
        return true;
    }

    void RunAll()
    {
        while (RunOne()) {
        }
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> calls_;
    bool nudged_ = false;
};

// Polls `condition` (state that no posted call announces, such as where a worker waits) until
// it holds; false if it still does not after `timeout`.
template <class TCondition>
bool WaitUntil(TCondition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Touched only on the test's thread, inside the calls that TTestWindow runs there.
class TTestViews : public IRunViews {
public:
    std::vector<std::string> events;
    TRegisterFile lastRegisters{};
    int lastCurrent = -1;
    std::string failOn; // the event whose call throws instead of showing
    // Answers input requests; by default at once with "5".
    std::function<void(std::function<void(std::string)>)> onInput = [](auto answer) { answer("5"); };

    void HighlightAddress(std::int64_t address) override
    {
        Record("highlight " + std::to_string(address));
    }
    void ShowRegisters(const TRegisterFile& registers, std::uint8_t current) override
    {
        Record("registers");
        lastRegisters = registers;
        lastCurrent = current;
    }
    void ShowMemory(TMemoryStream&) override { Record("memory"); }
    void AppendOutput(const std::string& line) override { Record("output " + line); }
    void RemoveOutput(std::size_t lines) override
    {
        Record("remove output " + std::to_string(lines));
    }
    void RequestInput(std::function<void(std::string)> answer) override
    {
        Record("input");
        onInput(std::move(answer));
    }
    void HeldAtBreakpoint(std::int64_t address, std::uint64_t steps) override
    {
        Record("held at " + std::to_string(address) + " after " + std::to_string(steps));
    }
    void ReplayedInput(const std::string& text) override { Record("replayed " + text); }
    void NoEarlierStep() override { Record("no earlier step"); }

    bool Saw(const std::string& event) const
    {
        for (const std::string& e : events)
            if (e == event)
                return true;
        return false;
    }

private:
    void Record(const std::string& event)
    {
        events.push_back(event);
        if (event == failOn)
            throw std::runtime_error("view failed on " + event);
    }
};
