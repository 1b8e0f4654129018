#pragma once
// mirelo-cli check: grading a class's programs against one exercise.

#include "cli/CliOptions.h"
#include "cli/CliRunner.h"

enum TCheckExit : int {
    ExitAllPassed = 0,
    ExitCaseFailed = 4,
    ExitExerciseRefused = 65,
    ExitExerciseUnreadable = 66,
    ExitReportUnwritable = 73,
};

// Reads the exercise (options.File), checks options.Programs, prints the results in their
// order and writes the reports asked for; returns the exit status.
int RunCheck(const TCliOptions& options, const TCliStreams& streams);
