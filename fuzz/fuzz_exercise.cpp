// Any bytes read as an exercise either give an exercise that keeps every rule of the file or
// are refused with EExerciseError and a place inside the text; nothing else may come out.
// A valid exercise's cases are then checked against a small program that echoes its input,
// so that whatever inputs and budgets a file can hold also go through a run.

#include "FuzzInput.h"
#include "exercise/CaseCheck.h"
#include "exercise/Exercise.h"

#include <string>

namespace {

// in $1 / out $1 / in $2 / out $2 / stop
const std::vector<std::uint8_t> EchoTwice = {0xF7, 0x01, 0xF4, 0x01, 0xF7, 0x02,
                                             0xF4, 0x02, 0x00};

void CheckExercise(const TExercise& exercise)
{
    if (exercise.Title.empty())
        Fail("exercise without a title");
    if (exercise.Cases.empty())
        Fail("exercise without a case", exercise.Title);
    if (exercise.MaxSteps == 0)
        Fail("exercise without a step budget", exercise.Title);
    for (const TExerciseCase& testCase : exercise.Cases) {
        if (testCase.Name.empty())
            Fail("case without a name", exercise.Title);
        for (const auto& [number, value] : testCase.Registers)
            if (number < 1 || number > 15)
                Fail("register outside R1 to R15", std::to_string(number));
        const TCaseResult result = CheckCase(exercise, testCase, EchoTwice);
        if (result.Passed != result.Reason.empty())
            Fail("a result's reason disagrees with its verdict", result.Reason);
        if (result.Output.size() > 2)
            Fail("more outputs than the program has Outs", result.Reason);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string source = "fuzz.mirex";
    TExercise exercise;
    try {
        exercise = ReadExercise(AsText(data, size), source);
    } catch (const EExerciseError& error) {
        if (error.Line() < 1 || error.Column() < 1)
            Fail("refusal outside the text", error.what());
        if (std::string(error.what()).rfind(source + ":", 0) != 0 || error.Message().empty())
            Fail("refusal without its place", error.what());
        return 0;
    }
    CheckExercise(exercise);
    return 0;
}
