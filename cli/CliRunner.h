#pragma once
// Runs a memory image on the machine without a window: Out goes to standard output,
// In reads standard input, and an optional trace goes to standard error.

#include "cli/CliOptions.h"
#include "emulator/MemoryStream.h"
#include "translator/Translation.h"

#include <cstdio>
#include <vector>

enum TCliExit : int {
    ExitEnded = 0,
    ExitTranslationError = 1,
    ExitRunFailed = 2,
    ExitStepLimit = 3,
    ExitUsage = 64,
    ExitNoInput = 66,
};

struct TCliStreams {
    std::FILE* In;
    std::FILE* Out;
    std::FILE* Err;
};

// Runs the image from a fresh start until it ends, fails or uses up options.MaxSteps steps,
// and returns the exit status for that outcome. byteOrigins, when not empty, tells the
// program line of every byte by address (TTranslation::ByteOrigins()), and each trace line
// ends with its step's line.
int RunImage(TMemoryStream& image, const TCliOptions& options, const TCliStreams& streams,
             const std::vector<TByteOrigin>& byteOrigins = {});
