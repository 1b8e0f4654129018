// Reading exercise files: what a valid file gives, and each refusal with its place.

#include "exercise/Exercise.h"
#include "tests/TempFolderTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <unistd.h>

namespace {

const std::string Double = R"(title = "Double a number"
max_steps = 10000
text = """
Read one number and print twice its value.
"""
starter = """
in $1
stop
"""

[[case]]
name = "twenty-one"
input = ["21"]
output = [42]
registers = { R3 = 7, R1 = 42 }

[[case]]
input = [-4, " 5 "]
output = [-8, -2147483648, 2147483647]
)";

TEST(ExerciseFile, ReadsEveryPartAndFillsTheDefaults)
{
    const TExercise exercise = ReadExercise(Double, "double.mirex");
    EXPECT_EQ(exercise.Title, "Double a number");
    EXPECT_EQ(exercise.MaxSteps, 10000u);
    EXPECT_EQ(exercise.Text, "Read one number and print twice its value.\n");
    EXPECT_EQ(exercise.Starter, "in $1\nstop\n");
    ASSERT_EQ(exercise.Cases.size(), 2u);
    EXPECT_EQ(exercise.Cases[0].Name, "twenty-one");
    EXPECT_EQ(exercise.Cases[0].Input, std::vector<std::string>{"21"});
    EXPECT_EQ(exercise.Cases[0].Output, std::vector<std::int32_t>{42});
    // In the file's order, not the table's.
    const std::vector<std::pair<int, std::int32_t>> registers{{3, 7}, {1, 42}};
    EXPECT_EQ(exercise.Cases[0].Registers, registers);
    EXPECT_EQ(exercise.Cases[1].Name, "case 2");
    EXPECT_EQ(exercise.Cases[1].Input, (std::vector<std::string>{"-4", " 5 "}));
    EXPECT_EQ(exercise.Cases[1].Output,
              (std::vector<std::int32_t>{-8, -2147483648, 2147483647}));

    const TExercise bare = ReadExercise("title = \"t\"\n[[case]]\noutput = []\n", "b");
    EXPECT_EQ(bare.MaxSteps, TExercise::DefaultMaxSteps);
    EXPECT_EQ(bare.Text, "");
    EXPECT_TRUE(bare.Cases[0].Output.empty());
}

struct Refusal {
    const char* name;
    std::string text;
    int line;
    int column;
    std::string message;   // must appear in Message()
};

void PrintTo(const Refusal& row, std::ostream* os)
{
    *os << row.name;
}

class ExerciseRefusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(ExerciseRefusals, NameTheLineAndColumn)
{
    const Refusal& row = GetParam();
    try {
        ReadExercise(row.text, "ex.mirex");
        FAIL() << "read without a refusal";
    } catch (const EExerciseError& error) {
        EXPECT_EQ(error.Line(), row.line) << error.what();
        EXPECT_EQ(error.Column(), row.column) << error.what();
        EXPECT_NE(error.Message().find(row.message), std::string::npos) << error.what();
        EXPECT_EQ(std::string(error.what()),
                  "ex.mirex:" + std::to_string(row.line) + ":" + std::to_string(row.column) +
                      ": " + error.Message());
    }
}

const std::string Case = "[[case]]\noutput = [1]\n";

INSTANTIATE_TEST_SUITE_P(
    Exercise, ExerciseRefusals,
    ::testing::Values(
        Refusal{"NotToml", "title = \"x\"\ntitle = \"y\"\n", 2, 9, "title"},
        Refusal{"UnclosedText", "title = \"x\n", 1, 11, "string"},
        Refusal{"NoTitle", Case, 1, 1, "no title"},
        Refusal{"EmptyTitle", "title = \"\"\n" + Case, 1, 9, "must not be empty"},
        Refusal{"TitleNotText", "title = 5\n" + Case, 1, 9, "title must be a text"},
        Refusal{"NoCase", "title = \"x\"\n", 1, 1, "no case"},
        Refusal{"EmptyCaseList", "title = \"x\"\ncase = []\n", 2, 8, "no case"},
        Refusal{"CaseNotTable", "title = \"x\"\ncase = [1]\n", 2, 9, "must be a table"},
        Refusal{"UnknownTopKey", "title = \"x\"\n  maxsteps = 5\n" + Case, 2, 3,
                "'maxsteps' is not a key of an exercise"},
        Refusal{"UnknownCaseKey", "title = \"x\"\n[[case]]\noutput = [1]\nexpect = 2\n", 4, 1,
                "'expect' is not a key of a case"},
        Refusal{"CaseWithoutOutput", "title = \"x\"\n[[case]]\nname = \"a\"\n", 2, 1,
                "a has no output"},
        Refusal{"OutputHoldsText", "title = \"x\"\n[[case]]\noutput = [1, \"2\"]\n", 3, 14,
                "output 2 must be a whole number, not a text"},
        Refusal{"OutputBeyond32Bits", "title = \"x\"\n[[case]]\noutput = [2147483648]\n", 3, 11,
                "does not fit in 32 bits"},
        Refusal{"OutputNotList", "title = \"x\"\n[[case]]\noutput = 1\n", 3, 10,
                "output must be a list"},
        Refusal{"InputHoldsFraction", "title = \"x\"\n[[case]]\noutput = []\ninput = [1.5]\n",
                4, 10, "input 1 must be a text or a whole number"},
        Refusal{"RegisterSixteen",
                "title = \"x\"\n[[case]]\noutput = []\nregisters = { R1 = 1, R16 = 2 }\n", 4, 23,
                "'R16' is not a register"},
        Refusal{"RegisterLowerCase", "title = \"x\"\n[[case]]\noutput = []\nregisters = { r1 = 1 }\n",
                4, 15, "'r1' is not a register"},
        Refusal{"RegisterZeroPadded",
                "title = \"x\"\n[[case]]\noutput = []\nregisters = { R01 = 1 }\n", 4, 15,
                "'R01' is not a register"},
        Refusal{"RegisterValueBeyond32Bits",
                "title = \"x\"\n[[case]]\noutput = []\n[case.registers]\nR2 = -2147483649\n", 5,
                6, "R2 does not fit in 32 bits"},
        Refusal{"NegativeBudget", "title = \"x\"\nmax_steps = -5\n" + Case, 2, 13,
                "greater than 0"},
        Refusal{"ZeroBudget", "title = \"x\"\nmax_steps = 0\n" + Case, 2, 13, "greater than 0"},
        Refusal{"BudgetNotNumber", "title = \"x\"\nmax_steps = \"9\"\n" + Case, 2, 13,
                "max_steps must be a whole number"},
        Refusal{"EmptyCaseName", "title = \"x\"\n[[case]]\nname = \"\"\noutput = []\n", 3, 8,
                "name must not be empty"},
        // U+FBEF where a blank could stand drove toml++ 3.3 into code it marks unreachable.
        Refusal{"PresentationFormAfterKey", "title \xEF\xAF\xAF= \"x\"\n", 1, 7, "expected '='"},
        Refusal{"NotUtf8", "title = \"\xFF\"\n" + Case, 1, 9, "utf-8"}),
    [](const auto& row) { return std::string(row.param.name); });

class ExerciseFiles : public TTempFolderTest {
protected:
    std::string LoadError(const std::string& path)
    {
        try {
            LoadExercise(path);
        } catch (const EExerciseFileError& error) {
            return error.what();
        }
        return "loaded";
    }
};

TEST_F(ExerciseFiles, LoadsUpToFourMiBAndRefusesWhatCannotBeRead)
{
    const std::string padded = "title = \"x\"\n" + Case + "#";
    const std::string fits = Write("fits.mirex", padded + std::string(4 * 1024 * 1024 - padded.size(), 'a'));
    EXPECT_EQ(LoadExercise(fits).Title, "x");
    const std::string large = Write("large.mirex", padded + std::string(4 * 1024 * 1024, 'a'));
    EXPECT_EQ(LoadError(large), "Could not open " + large + ": it is larger than 4 MiB (" +
                                    std::to_string(4 * 1024 * 1024 + padded.size()) + " bytes)");
    EXPECT_EQ(LoadError(dir_.string()),
              "Could not open " + dir_.string() + ": it is a folder, not a file");
    const std::string missing = (dir_ / "missing.mirex").string();
    EXPECT_EQ(LoadError(missing), "Could not open " + missing + ": No such file or directory");
    const std::string bad = Write("bad.mirex", "title = 1\n");
    EXPECT_THROW(LoadExercise(bad), EExerciseError);
}

} // namespace
