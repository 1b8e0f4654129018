#pragma once
// The command line of mirelo-cli.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

struct TCliOptions {
    enum class TCommand { Translate, Run, Check, Help, Version };

    TCommand Command = TCommand::Help;
    std::string File = "-";   // "-" is standard input
    bool Listing = false;
    bool Registers = false;
    bool Trace = false;
    bool Warnings = true;     // the translation's warnings go to standard error
    std::uint64_t MaxSteps = 100'000'000;

    // check: File is the exercise, Programs the programs in the order given.
    std::vector<std::string> Programs;
    unsigned Jobs = 0;        // 0: one per core
    std::string CsvFile;      // empty: none written
    std::string JUnitFile;
};

// A command line that cannot be understood; what() says why.
class EUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

TCliOptions ParseCommandLine(int argc, const char* const* argv);

const char* UsageText();
