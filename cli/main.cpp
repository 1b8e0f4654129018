// mirelo-cli: translate and run Mirelo programs without the window.

#include "cli/CheckCommand.h"
#include "cli/CliOptions.h"
#include "cli/CliRunner.h"
#include "cli/Diagnostics.h"
#include "cli/ProgramText.h"
#include "cli/TerminalText.h"
#include "emulator/ListingLoader.h"
#include "translator/InstructionTable.h"
#include "translator/strutils2.h"
#include "translator/Translation.h"

#include <cstdio>
#include <vector>

#ifndef MIRELO_VERSION
#define MIRELO_VERSION "unknown"
#endif

namespace {

int TranslateOrRun(const TCliOptions& options, const TInstructionTable& table, const TCliStreams& io)
{
    const auto program = SplitLines(ReadSource(options.File));
    const TTranslation translation = TranslateProgram(table, program);
    WriteDiagnostics(io.Err, options.File, translation, options.Warnings);
    if (translation.Failure)
        return ExitTranslationError;
    if (options.Command == TCliOptions::TCommand::Translate) {
        for (const std::string& line : translation.Listing)
            std::fprintf(io.Out, "%s\n", line.c_str());
        return ExitEnded;
    }
    TMemoryStream image(LoadListing(translation.Listing));
    const std::vector<TByteOrigin> byteOrigins =
        options.Trace ? translation.ByteOrigins() : std::vector<TByteOrigin>{};
    return RunImage(image, options, io, byteOrigins);
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
    if (options.Command == TCliOptions::TCommand::Check)
        return RunCheck(options, io);
    try {
        return Execute(options, io);
    } catch (const ESourceError& e) {
        // The message names the file as given, which may hold control characters.
        std::fprintf(stderr, "mirelo-cli: %s\n", EscapeForTerminal(e.what()).c_str());
        return ExitNoInput;
    }
}
