#pragma once
// The status bar's texts: what the current run is doing or how it ended, and what the last
// "Translate" made. Pure functions of the facts, so every wording is checked in a table.

#include "emulator/emuthread.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <exception>

enum class TRunPhase { NoRun, Running, Paused, WaitingForInput, Ended };

struct TRunFacts {
    TRunPhase Phase = TRunPhase::NoRun;
    // How the run ended; read only in the Ended phase.
    TEmulationThread::TRunEnd End = TEmulationThread::TRunEnd::Running;
    // Opcodes fetched so far (the worker's StepCount()).
    std::uint64_t Steps = 0;
    // For a failed run: what went wrong and where, e.g. "Division by zero at address 2".
    QString Failure;
    // Paused at a breakpoint: the line (from 1) it is on; 0 otherwise.
    int BreakpointLine = 0;
};

// "Running, step 12", "Paused after 3 steps", "Paused at breakpoint on line 4 after 3 steps", "Ended at a Stop byte after 32 steps",
// "Failed: Division by zero at address 2", ...; empty while there is no run.
QString RunStatusText(const TRunFacts& facts);

// "Translated 10 program lines into 17 bytes".
QString TranslationStatusText(qsizetype lines, qsizetype bytes, qsizetype warnings = 0);
// "Translation failed at line 4; listing unchanged": the listing pane keeps the text of an
// earlier translation, which the status must no longer claim as the program's.
QString TranslationFailedText(std::size_t line);

// The failure's message with the opcode's address: the machine's own failures name it
// already; to any other (a failed window call) it is added when known (not negative).
QString FailureText(const std::exception_ptr& failure, std::int64_t opcodeAddress);
