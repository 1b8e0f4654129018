#pragma once
// Checking a program against an exercise: every case is a run of the program's listing on the
// machine alone, without delay, its In instructions answered from the case's input, ended by
// the exercise's step budget at the latest. Plain C++, safe to call from any thread.

#include "exercise/Exercise.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TInstructionTable;
struct TTranslation;

struct TCaseResult {
    bool Passed = false;
    // Empty when passed; otherwise a reason a student understands, e.g.
    // "output 2: expected 42, got 41", "expected 1 output, got 2", "R3: expected 7, got 0",
    // "Division by zero at address 12", "no end within 10000 steps",
    // "asked for input 2, but the case gives 1".
    std::string Reason;
    std::vector<std::int32_t> Output; // what the run printed
};

struct TProgramCheck {
    // Empty when the program translated; otherwise why not, with its line, e.g.
    // "line 4: 'nop' is not an instruction", and every case failed with that reason.
    std::string TranslationError;
    std::vector<TCaseResult> Cases; // one per exercise case, in order
    std::size_t Passed() const;
    bool AllPassed() const { return Passed() == Cases.size(); }
};

// One case on a listing's bytes.
TCaseResult CheckCase(const TExercise& exercise, const TExerciseCase& testCase,
                      const std::vector<std::uint8_t>& image);
// Checks every case on a translation already made (whose warnings the caller shows).
TProgramCheck CheckTranslation(const TExercise& exercise, const TTranslation& translation);
// Translates the program (its lines) and checks every case.
TProgramCheck CheckProgram(const TInstructionTable& table, const TExercise& exercise,
                           const std::vector<std::string>& program);
