// Checking programs against cases: one row per way a case passes or fails, with the reason a
// student reads.

#include "exercise/CaseCheck.h"
#include "translator/InstructionTable.h"
#include "translator/strutils2.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

const TInstructionTable& Table()
{
    static const TInstructionTable table = [] {
        TInstructionTable t;
        FillInstructionTable(t);
        return t;
    }();
    return table;
}

struct CaseRow {
    const char* name;
    std::string program;
    TExerciseCase testCase;
    std::string reason;                 // empty: the case passes
    std::vector<std::int32_t> printed;  // what the run printed
    std::uint64_t maxSteps = TExercise::DefaultMaxSteps;
};

void PrintTo(const CaseRow& row, std::ostream* os)
{
    *os << row.name;
}

class CaseChecks : public ::testing::TestWithParam<CaseRow> {};

TEST_P(CaseChecks, GiveTheVerdictAndTheReason)
{
    const CaseRow& row = GetParam();
    TExercise exercise;
    exercise.Title = "t";
    exercise.MaxSteps = row.maxSteps;
    exercise.Cases = {row.testCase};
    const TProgramCheck check = CheckProgram(Table(), exercise, SplitLines(row.program));
    ASSERT_EQ(check.Cases.size(), 1u);
    EXPECT_EQ(check.Cases[0].Reason, row.reason);
    EXPECT_EQ(check.Cases[0].Passed, row.reason.empty());
    EXPECT_EQ(check.Cases[0].Output, row.printed);
    EXPECT_EQ(check.AllPassed(), row.reason.empty());
}

const std::string Doubler = "in $1\nset 1\nadd $1\nout $1\nstop\n";

TExerciseCase Expect(std::vector<std::string> input, std::vector<std::int32_t> output,
                     std::vector<std::pair<int, std::int32_t>> registers = {})
{
    return TExerciseCase{"c", std::move(input), std::move(output), std::move(registers)};
}

INSTANTIATE_TEST_SUITE_P(
    Exercise, CaseChecks,
    ::testing::Values(
        CaseRow{"Passes", Doubler, Expect({"21"}, {42}, {{1, 42}}), "", {42}},
        CaseRow{"EndOfImageEndsTheRun", "out 5\n", Expect({}, {5}), "", {5}},
        CaseRow{"OutputDiffers", Doubler, Expect({"20"}, {42}), "output 1: expected 42, got 40",
                {40}},
        CaseRow{"SecondOutputDiffers", "out 1\nout 3\nstop\n", Expect({}, {1, 2}),
                "output 2: expected 2, got 3", {1, 3}},
        CaseRow{"TooFewOutputs", "out 5\nstop\n", Expect({}, {5, 6}), "expected 2 outputs, got 1",
                {5}},
        CaseRow{"TooManyOutputs", "out 5\nout 6\nstop\n", Expect({}, {5}),
                "expected 1 output, got 2", {5, 6}},
        CaseRow{"RegisterDiffers", "mov $3,5\nstop\n", Expect({}, {}, {{1, 0}, {3, 7}}),
                "R3: expected 7, got 5", {}},
        CaseRow{"RunFails", "set 1\ndiv 5,0\nstop\n", Expect({}, {}),
                "Division by zero at address 2", {}},
        CaseRow{"InputIsNotANumber", "out 1\nin $1\nstop\n", Expect({"abc"}, {1}),
                "Input is not an integer at address 2: 'abc' is not a valid integer value", {1}},
        CaseRow{"InputUsedUp", "in $1\nin $2\nstop\n", Expect({"1"}, {}),
                "asked for input 2, but the case gives 1", {}},
        CaseRow{"NoInputAtAll", "in $1\nstop\n", Expect({}, {}),
                "asked for input 1, but the case gives 0", {}},
        CaseRow{"EndlessLoop", "inc\nout $1\njmp 0\n", Expect({}, {}), "no end within 50 steps",
                std::vector<std::int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17},
                50},
        CaseRow{"DoesNotTranslate", "inc\nset 1x\n", Expect({}, {}),
                "line 2: '1x' is not a valid integer value", {}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ProgramCheck, ChecksEveryCaseInOrderOnAFreshMachine)
{
    TExercise exercise;
    exercise.Title = "double";
    // The second case passes only if the first left nothing behind in the registers.
    exercise.Cases = {Expect({"5"}, {10}, {{1, 10}}), Expect({"-3"}, {-6}, {{1, -6}}),
                      Expect({"1"}, {3})};
    const TProgramCheck check = CheckProgram(Table(), exercise, SplitLines(Doubler));
    EXPECT_EQ(check.TranslationError, "");
    ASSERT_EQ(check.Cases.size(), 3u);
    EXPECT_TRUE(check.Cases[0].Passed);
    EXPECT_TRUE(check.Cases[1].Passed);
    EXPECT_EQ(check.Cases[2].Reason, "output 1: expected 3, got 2");
    EXPECT_EQ(check.Passed(), 2u);
    EXPECT_FALSE(check.AllPassed());

    const TProgramCheck broken = CheckProgram(Table(), exercise, {"set 1x"});
    EXPECT_EQ(broken.TranslationError, "line 1: '1x' is not a valid integer value");
    ASSERT_EQ(broken.Cases.size(), 3u);
    for (const TCaseResult& result : broken.Cases)
        EXPECT_EQ(result.Reason, broken.TranslationError);
    EXPECT_EQ(broken.Passed(), 0u);
}

} // namespace
