#include "cli/Diagnostics.h"

#include "cli/TerminalText.h"
#include "translator/ErrorText.h"

namespace {

void WriteLine(std::FILE* err, const std::string& file, std::size_t line, const char* kind,
               const std::string& message)
{
    const std::string text = file + ":" + std::to_string(line) + ": " + kind + message;
    std::fprintf(err, "%s\n", EscapeForTerminal(text).c_str());
}

} // namespace

void WriteDiagnostics(std::FILE* err, const std::string& file, const TTranslation& translation,
                      bool warnings)
{
    const TTranslationFailure* failure =
        translation.Failure ? &*translation.Failure : nullptr;
    if (warnings) {
        for (const TTranslationWarning& warning : translation.Warnings) {
            if (failure && warning.Line > failure->Line) {
                WriteLine(err, file, failure->Line, "", WithFinalPeriod(failure->Message));
                failure = nullptr;
            }
            WriteLine(err, file, warning.Line, "warning: ", warning.Message);
        }
    }
    if (failure)
        WriteLine(err, file, failure->Line, "", WithFinalPeriod(failure->Message));
}
