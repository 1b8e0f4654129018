#include "cli/CliOptions.h"

#include <charconv>
#include <string_view>
#include <vector>

namespace {

std::uint64_t ParseStepCount(std::string_view text)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        throw EUsageError("--max-steps needs a whole number, not '" + std::string(text) + "'");
    return value;
}

unsigned ParseJobCount(std::string_view text)
{
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value == 0)
        throw EUsageError("--jobs needs a whole number greater than 0, not '" +
                          std::string(text) + "'");
    return value;
}

// An option of check that takes a value, as "--name VALUE" or "--name=VALUE"; false when arg
// is not that option.
bool TakeValue(std::string_view name, std::string_view arg,
               const std::vector<std::string_view>& args, std::size_t& i, std::string& value)
{
    if (arg == name) {
        if (++i == args.size())
            throw EUsageError(std::string(name) + " needs a value");
        value = std::string(args[i]);
        return true;
    }
    if (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
        arg[name.size()] == '=') {
        value = std::string(arg.substr(name.size() + 1));
        return true;
    }
    return false;
}

void ParseCheckFlag(std::string_view arg, const std::vector<std::string_view>& args,
                    std::size_t& i, TCliOptions& options)
{
    std::string jobs;
    if (TakeValue("--jobs", arg, args, i, jobs))
        options.Jobs = ParseJobCount(jobs);
    else if (!TakeValue("--csv", arg, args, i, options.CsvFile) &&
             !TakeValue("--junit", arg, args, i, options.JUnitFile))
        throw EUsageError("unknown option '" + std::string(arg) + "'");
}

void ParseRunFlag(std::string_view arg, const std::vector<std::string_view>& args,
                  std::size_t& i, TCliOptions& options)
{
    if (arg == "--listing")
        options.Listing = true;
    else if (arg == "--registers")
        options.Registers = true;
    else if (arg == "--trace")
        options.Trace = true;
    else if (arg == "--max-steps") {
        if (++i == args.size())
            throw EUsageError("--max-steps needs a number");
        options.MaxSteps = ParseStepCount(args[i]);
    } else if (arg.substr(0, 12) == "--max-steps=")
        options.MaxSteps = ParseStepCount(arg.substr(12));
    else
        throw EUsageError("unknown option '" + std::string(arg) + "'");
}

} // namespace

TCliOptions ParseCommandLine(int argc, const char* const* argv)
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty())
        throw EUsageError("no command given");

    TCliOptions options;
    const std::string_view command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        options.Command = TCliOptions::TCommand::Help;
        return options;
    }
    if (command == "--version") {
        options.Command = TCliOptions::TCommand::Version;
        return options;
    }
    if (command == "translate")
        options.Command = TCliOptions::TCommand::Translate;
    else if (command == "run")
        options.Command = TCliOptions::TCommand::Run;
    else if (command == "check")
        options.Command = TCliOptions::TCommand::Check;
    else
        throw EUsageError("unknown command '" + std::string(command) + "'");

    bool haveFile = false;
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (isOption && arg == "--") {
            optionsEnded = true;
        } else if (isOption && arg == "--no-warnings") {
            options.Warnings = false;
        } else if (isOption && options.Command == TCliOptions::TCommand::Check) {
            ParseCheckFlag(arg, args, i, options);
        } else if (isOption) {
            if (options.Command != TCliOptions::TCommand::Run)
                throw EUsageError("translate takes no option '" + std::string(arg) + "'");
            ParseRunFlag(arg, args, i, options);
        } else if (options.Command == TCliOptions::TCommand::Check && haveFile) {
            options.Programs.emplace_back(arg);
        } else {
            if (haveFile)
                throw EUsageError("more than one FILE given");
            options.File = std::string(arg);
            haveFile = true;
        }
    }
    if (options.Command == TCliOptions::TCommand::Check && options.Programs.empty())
        throw EUsageError(haveFile ? "check needs at least one PROGRAM"
                                   : "check needs an EXERCISE and at least one PROGRAM");
    return options;
}

const char* UsageText()
{
    return "usage: mirelo-cli translate [--no-warnings] [FILE]\n"
           "       mirelo-cli run [--listing] [--registers] [--max-steps N] [--trace]\n"
           "                      [--no-warnings] [FILE]\n"
           "       mirelo-cli check [--jobs N] [--csv FILE] [--junit FILE] [--no-warnings]\n"
           "                        EXERCISE PROGRAM...\n"
           "       mirelo-cli --help | --version\n"
           "\n"
           "FILE absent or \"-\" reads standard input.\n"
           "translate    writes the machine-code listing of the program, one line per line\n"
           "run          translates the program and runs it without the step delay;\n"
           "             each In reads one line of standard input\n"
           "  --listing     FILE holds listing text to load, not a program\n"
           "  --registers   writes the fifteen registers after the run\n"
           "  --max-steps N ends a run that has not ended after N steps (default 100000000)\n"
           "  --trace       writes one line per step to standard error, with the program\n"
           "                line of the step's byte\n"
           "check        checks each PROGRAM against every case of the EXERCISE file and\n"
           "             prints, in the order given, PROGRAM: P/T cases passed, a line for\n"
           "             each failing case, and how many programs passed every case\n"
           "  --jobs N      checks N programs at a time (default: one per core)\n"
           "  --csv FILE    writes program,passed,total for each program to FILE\n"
           "  --junit FILE  writes JUnit XML, one test suite per program, to FILE\n"
           "--no-warnings  leaves out the translation's warnings\n"
           "\n"
           "Translation errors and warnings go to standard error as FILE:LINE: message and\n"
           "FILE:LINE: warning: message; control characters in them are written as \\xNN.\n"
           "exit status: 0 the run ended by itself, 1 translation error, 2 the run failed,\n"
           "             3 --max-steps ran out, 64 usage error, 66 FILE cannot be read\n"
           "check's exit status: 0 every program passed every case, 4 a case failed,\n"
           "             64 usage error, 65 the EXERCISE is refused, 66 it cannot be read,\n"
           "             73 a report cannot be written\n";
}
