// mirelo-cli: translate and run Mirelo programs without the window.

#include "CliOptions.h"
#include "CliRunner.h"
#include "ErrorText.h"
#include "InstructionTable.h"
#include "ListingLoader.h"
#include "ProgramText.h"
#include "Translation.h"
#include "strutils2.h"

#include <cstdio>
#include <exception>

#ifndef MIRELO_VERSION
#define MIRELO_VERSION "unknown"
#endif

namespace {

int TranslateOrRun(const TCliOptions& options, const TInstructionTable& table, const TCliStreams& io)
{
    const auto program = SplitLines(ReadSource(options.File));
    std::vector<std::string> listing;
    try {
        listing = Translate(table, program);
    } catch (const std::exception& e) {
        std::fprintf(io.Err, "%s\n", WithFinalPeriod(e.what()).c_str());
        return ExitTranslationError;
    }
    if (options.Command == TCliOptions::TCommand::Translate) {
        for (const std::string& line : listing)
            std::fprintf(io.Out, "%s\n", line.c_str());
        return ExitEnded;
    }
    TMemoryStream image(LoadListing(listing));
    return RunImage(image, options, io);
}

int Execute(const TCliOptions& options, const TCliStreams& io)
{
    if (options.Command == TCliOptions::TCommand::Run && options.Listing) {
        TMemoryStream image(LoadListing(SplitLines(ReadSource(options.File))));
        return RunImage(image, options, io);
    }
    TInstructionTable table;
    FillInstructionTable(table);
    return TranslateOrRun(options, table, io);
}

} // namespace

int main(int argc, char** argv)
{
    const TCliStreams io{stdin, stdout, stderr};
    TCliOptions options;
    try {
        options = ParseCommandLine(argc, argv);
    } catch (const EUsageError& e) {
        std::fprintf(stderr, "mirelo-cli: %s\n%s", e.what(), UsageText());
        return ExitUsage;
    }
    if (options.Command == TCliOptions::TCommand::Help) {
        std::fputs(UsageText(), stdout);
        return ExitEnded;
    }
    if (options.Command == TCliOptions::TCommand::Version) {
        std::printf("mirelo-cli %s\n", MIRELO_VERSION);
        return ExitEnded;
    }
    try {
        return Execute(options, io);
    } catch (const ESourceError& e) {
        std::fprintf(stderr, "mirelo-cli: %s\n", e.what());
        return ExitNoInput;
    }
}
