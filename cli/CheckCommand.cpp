#include "cli/CheckCommand.h"

#include "cli/ClassCheck.h"
#include "cli/Diagnostics.h"
#include "cli/GradeReports.h"
#include "cli/TerminalText.h"
#include "translator/InstructionTable.h"

#include <thread>

namespace {

void PrintLine(std::FILE* out, const std::string& text)
{
    // File names, case names and reasons (an In's rejected text) may hold control characters.
    std::fprintf(out, "%s\n", EscapeForTerminal(text).c_str());
}

void PrintGrade(const TProgramGrade& grade, const TExercise& exercise, const TCliStreams& io,
                bool warnings)
{
    if (!grade.ReadError.empty())
        PrintLine(io.Err, "mirelo-cli: " + grade.ReadError);
    else
        WriteDiagnostics(io.Err, grade.Program, grade.Translation, warnings);
    const TProgramCheck& check = grade.Check;
    PrintLine(io.Out, grade.Program + ": " + std::to_string(check.Passed()) + "/" +
                          std::to_string(check.Cases.size()) + " cases passed");
    for (std::size_t k = 0; k < check.Cases.size(); ++k) {
        if (!check.Cases[k].Passed)
            PrintLine(io.Out, "  case \"" + exercise.Cases[k].Name + "\": " + check.Cases[k].Reason);
    }
}

unsigned JobCount(unsigned asked)
{
    if (asked != 0)
        return asked;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

} // namespace

int RunCheck(const TCliOptions& options, const TCliStreams& io)
{
    TExercise exercise;
    try {
        exercise = LoadExercise(options.File);
    } catch (const EExerciseFileError& error) {
        PrintLine(io.Err, std::string("mirelo-cli: ") + error.what());
        return ExitExerciseUnreadable;
    } catch (const EExerciseError& error) {
        PrintLine(io.Err, error.what());
        return ExitExerciseRefused;
    }
    TInstructionTable table;
    FillInstructionTable(table);
    const std::vector<TProgramGrade> grades =
        CheckPrograms(table, exercise, options.Programs, JobCount(options.Jobs));

    std::size_t allPassed = 0;
    for (const TProgramGrade& grade : grades) {
        PrintGrade(grade, exercise, io, options.Warnings);
        allPassed += grade.Check.AllPassed() ? 1 : 0;
    }
    std::fprintf(io.Out, "%zu of %zu programs passed every case\n", allPassed, grades.size());
    std::fflush(io.Out);

    try {
        if (!options.CsvFile.empty())
            WriteReport(options.CsvFile, GradeCsv(grades));
        if (!options.JUnitFile.empty())
            WriteReport(options.JUnitFile, GradeJUnit(exercise, grades));
    } catch (const EReportError& error) {
        PrintLine(io.Err, std::string("mirelo-cli: ") + error.what());
        return ExitReportUnwritable;
    }
    return allPassed == grades.size() ? ExitAllPassed : ExitCaseFailed;
}
