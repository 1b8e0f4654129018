#include "cli/ClassCheck.h"

#include "cli/ProgramText.h"
#include "translator/strutils2.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

TProgramGrade Grade(const TInstructionTable& table, const TExercise& exercise,
                    const std::string& program)
{
    TProgramGrade grade;
    grade.Program = program;
    std::vector<std::string> lines;
    try {
        lines = SplitLines(ReadSource(program));
    } catch (const ESourceError& error) {
        // A program that cannot be read fails every case, saying why.
        grade.ReadError = error.what();
        grade.Check.Cases.assign(exercise.Cases.size(), TCaseResult{false, grade.ReadError, {}});
        return grade;
    }
    grade.Translation = TranslateProgram(table, lines);
    grade.Check = CheckTranslation(exercise, grade.Translation);
    // Only the warnings and the failure are shown later; the listing has done its work.
    grade.Translation.Listing.clear();
    grade.Translation.ProgramLines.clear();
    return grade;
}

} // namespace

std::vector<TProgramGrade> CheckPrograms(const TInstructionTable& table,
                                         const TExercise& exercise,
                                         const std::vector<std::string>& programs,
                                         unsigned jobs)
{
    std::vector<TProgramGrade> grades(programs.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t k = next++; k < programs.size(); k = next++)
            grades[k] = Grade(table, exercise, programs[k]);
    };
    const std::size_t threads = std::clamp<std::size_t>(jobs, 1, std::max<std::size_t>(programs.size(), 1));
    std::vector<std::jthread> workers;
    for (std::size_t k = 1; k < threads; ++k)
        workers.emplace_back(work);
    work();
    return grades;
}
