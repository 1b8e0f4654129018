// Runs the real mirelo-cli binary and checks what it prints and how it exits.

#include "tests/TempFolderTest.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct TResult {
    int Status = -1;
    std::string Out;
    std::string Err;
};

std::string Drain(int fd)
{
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    close(fd);
    return text;
}

// Standard input is `input`, or the file `inputFile` when one is named.
TResult RunCli(const std::vector<std::string>& args, const std::string& input = {},
               const char* inputFile = nullptr)
{
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(inputFile ? open(inputFile, O_RDONLY) : in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
            close(fd);
        std::vector<char*> argv{const_cast<char*>(MIRELO_CLI)};
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(MIRELO_CLI, argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    std::thread writer([fd = in[1], &input] {
        std::size_t done = 0;
        while (done < input.size()) {
            const ssize_t n = write(fd, input.data() + done, input.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        close(fd);
    });
    TResult result;
    std::thread errReader([&] { result.Err = Drain(err[0]); });
    result.Out = Drain(out[0]);
    errReader.join();
    writer.join();
    int status = 0;
    waitpid(pid, &status, 0);
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

using CliFiles = TTempFolderTest;

const std::string SampleProgram = "add ah\nxch $1,$2\n:start\nset 1\ninc\nset 3\ncmp $1,$2\n"
                                  "jin :stop,:start\n:stop\nstop\n";

const std::string SampleRegisters = "R1: 10\nR2: 10\nR3: 0 *\nR4: 0\nR5: 0\nR6: 0\nR7: 0\nR8: 0\n"
                                    "R9: 0\nR10: 0\nR11: 0\nR12: 0\nR13: 0\nR14: 0\nR15: 0\n";

TEST_F(CliFiles, TranslatesTheSampleProgram)
{
    const auto r = RunCli({"translate", Write("sample.mir", SampleProgram)});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "110a\n810102\nf001\n16\nf003\na10102\n931005\n00\n");
    EXPECT_EQ(r.Err, "");
}

TEST_F(CliFiles, ReadsStandardInputWithWindowsLineBreaks)
{
    const auto r = RunCli({"translate", "-"}, "set 1\r\ninc\r\n\r\nstop");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "f001\n16\n00\n");
}

TEST_F(CliFiles, RunsTheSampleToItsStopByte)
{
    const auto r = RunCli({"run", "--registers", Write("sample.mir", SampleProgram)});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, SampleRegisters);
    EXPECT_EQ(r.Err, "");
}

TEST_F(CliFiles, ReadsInputLinesAndWritesOutputLines)
{
    // Doubles each number read, twice over.
    const std::string program = "in $1\nset 1\nadd $1\nout $1\nin $2\nset 2\nadd $2\nout $2\nstop\n";
    const auto r = RunCli({"run", Write("double.mir", program)}, "21\r\n-4\n");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "Value: 42\nValue: -8\n");
}

TEST_F(CliFiles, TranslationErrorGoesToStandardErrorOnly)
{
    const std::string file = Write("bad.mir", "set 1\nset 5,\nstop\n");
    const auto r = RunCli({"translate", file});
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, file + ":2: '5,' is not a valid integer value.\n");
    EXPECT_EQ(RunCli({"run", Write("bad2.mir", "set 5,\n")}).Status, 1);
}

struct Diagnosed {
    const char* name;
    std::vector<std::string> args;  // the file, or "-" for standard input, comes last
    std::string program;
    int status;
    std::string out;
    std::string err;                // FILE stands for the file's name as given
};

void PrintTo(const Diagnosed& row, std::ostream* os)
{
    *os << row.name;
}

class CliDiagnostics : public CliFiles, public ::testing::WithParamInterface<Diagnosed> {};

// Errors and warnings read FILE:LINE: message, the way editors jump to a line; standard
// output and the exit status are what they would be without them.
TEST_P(CliDiagnostics, NameFileAndLine)
{
    const Diagnosed& row = GetParam();
    std::vector<std::string> args = row.args;
    const bool standardInput = args.back() == "-";
    const std::string file = standardInput ? "-" : Write("prog.mir", row.program);
    args.back() = file;
    const auto r = RunCli(args, standardInput ? row.program : std::string());
    std::string err = row.err;
    for (std::size_t at = 0; (at = err.find("FILE", at)) != std::string::npos; at += file.size())
        err.replace(at, 4, file);
    EXPECT_EQ(r.Status, row.status);
    EXPECT_EQ(r.Out, row.out);
    EXPECT_EQ(r.Err, err);
}

const std::string kNop = " warning: 'nop' is not an instruction; the line emits nothing\n";

INSTANTIATE_TEST_SUITE_P(
    Cli, CliDiagnostics,
    ::testing::Values(
        Diagnosed{"WarningsAndErrorInLineOrder", {"translate", "f"},
                  "nop\nset 1\nset 300\njmp :x\nnop\n", 1, "",
                  "FILE:1:" + kNop + "FILE:3: '300' does not fit in one byte (0 to 255)\nFILE:5:"
                      + kNop},
        Diagnosed{"ErrorAfterTheWarningsOfItsLine", {"translate", "f"}, "dd x,1\ndd x,300\nnop\n",
                  1, "",
                  "FILE:2: warning: 'x' is already defined on line 1; this definition is not used\n"
                  "FILE:2: '300' does not fit in one byte (0 to 255)\nFILE:3:" + kNop},
        Diagnosed{"StandardInputIsDash", {"translate", "-"}, "inc\nset 1x\n", 1, "",
                  "-:2: '1x' is not a valid integer value.\n"},
        Diagnosed{"WindowsLineBreaks", {"translate", "-"}, "inc\r\n\r\nnop\r\njmp :x\r\n", 0,
                  "16\n\n9000\n",
                  "-:3:" + kNop + "-:4: warning: ':x' is not defined; it stands for address 0\n"},
        Diagnosed{"WarningsLeaveTheRunAlone", {"run", "f"}, "nop\nout 5\nstop\n", 0,
                  "Value: 5\n", "FILE:1:" + kNop},
        Diagnosed{"NoWarningsOnTranslate", {"translate", "--no-warnings", "f"},
                  "nop\ninc\nset 1x\n", 1, "", "FILE:3: '1x' is not a valid integer value.\n"},
        Diagnosed{"NoWarningsOnRun", {"run", "--no-warnings", "f"}, "nop\nout 5\nstop\n", 0,
                  "Value: 5\n", ""},
        // Files read as the window reads them.
        Diagnosed{"ByteOrderMarkFile", {"run", "f"}, "\xEF\xBB\xBFout 5\nstop\n", 0,
                  "Value: 5\n", ""},
        Diagnosed{"ByteOrderMarkOnStandardInput", {"run", "-"}, "\xEF\xBB\xBFout 5\r\nstop", 0,
                  "Value: 5\n", ""},
        Diagnosed{"LoneCarriageReturns", {"translate", "f"}, "set 1\rinc\r\rnop\rstop\r", 0,
                  "f001\n16\n\n00\n", "FILE:4:" + kNop},
        Diagnosed{"Latin1File", {"translate", "f"}, "inc\nset \xFC\n", 1, "",
                  "FILE:2: '\xC3\xBC' is not a valid integer value.\n"},
        Diagnosed{"ControlCharactersEscaped", {"translate", "f"}, "no\x1b]0;x\x07p\nset 1\x1b[2j\n",
                  1, "",
                  "FILE:1: warning: 'no\\x1b]0;x\\x07p' is not an instruction; the line emits "
                  "nothing\nFILE:2: '1\\x1b[2j' is not a valid integer value.\n"},
        Diagnosed{"TabAfterAnInstructionEscaped", {"translate", "f"}, "set\t1\nstop\n", 0, "\n00\n",
                  "FILE:1: warning: 'set\\x091' is not an instruction: a tab does not separate "
                  "'set' from its operands (use a blank); the line emits nothing\n"}),
    [](const auto& row) { return std::string(row.param.name); });

struct FailingRun {
    const char* name;
    std::string program;
    std::string input;
    std::string failure;   // must appear in the one line on standard error
};

void PrintTo(const FailingRun& run, std::ostream* os)
{
    *os << run.name;
}

class CliRunFailures : public CliFiles, public ::testing::WithParamInterface<FailingRun> {};

TEST_P(CliRunFailures, ExitWithTwoAndNameFailureAndAddress)
{
    const auto r = RunCli({"run", Write("fail.mir", GetParam().program)}, GetParam().input);
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find(GetParam().failure), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find("address 2"), std::string::npos) << r.Err;
    EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliRunFailures,
    ::testing::Values(FailingRun{"DivisionByZero", "set 1\ndiv 5,0\nstop\n", "", "Division by zero"},
                      FailingRun{"InputAtEndOfInput", "set 1\nin $1\nstop\n", "", "not an integer"},
                      FailingRun{"InputNotANumber", "set 1\nin $1\nstop\n", "abc\n", "not an integer"},
                      FailingRun{"RegisterOutOfRange", "set 1\nmov $16,1\nstop\n", "", "Register"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(CliFiles, RunsAListingWithOddLinesAndBlanks)
{
    // Pairs never span lines, an odd last character is ignored and blank lines add nothing.
    const std::string listing = "f0\r\n01x\n\n \n16\n11\n0a\n00\n";
    const auto r = RunCli({"run", "--listing", "--registers", Write("prog.lst", listing)});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out.substr(0, 9), "R1: 11 *\n");
}

TEST_F(CliFiles, EndsByItselfAtTheEndOfTheImageAndAtResetWith170)
{
    EXPECT_EQ(RunCli({"run", Write("end.mir", "inc\ninc\n")}).Status, 0);
    const auto reset = RunCli({"run", "--registers", Write("reset.mir", "add 170\nreset\ninc\n")});
    EXPECT_EQ(reset.Status, 0);
    EXPECT_EQ(reset.Out.substr(0, 10), "R1: 170 *\n");
}

TEST_F(CliFiles, MaxStepsEndsAnEndlessLoop)
{
    const std::string loop = Write("loop.mir", ":top\ninc\njmp :top\n");
    const auto r = RunCli({"run", "--max-steps", "1001", "--registers", loop});
    EXPECT_EQ(r.Status, 3);
    EXPECT_EQ(r.Out.substr(0, 10), "R1: 501 *\n");
    // A run that ends exactly within its budget is not cut short.
    EXPECT_EQ(RunCli({"run", "--max-steps=3", Write("three.mir", "inc\ninc\nstop\n")}).Status, 0);
    EXPECT_EQ(RunCli({"run", "--max-steps=2", Write("three2.mir", "inc\ninc\nstop\n")}).Status, 3);
}

TEST_F(CliFiles, TraceWritesOneLinePerStep)
{
    const auto r = RunCli({"run", "--trace", Write("sample.mir", SampleProgram)});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out, "");
    std::vector<std::string> lines;
    std::size_t start = 0, end = 0;
    while ((end = r.Err.find('\n', start)) != std::string::npos) {
        lines.push_back(r.Err.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(0, 16), "0000  11  Add 0a");
    EXPECT_NE(lines[0].find("R1=10"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1].substr(0, 19), "0002  81  Xch 01 02");
    EXPECT_EQ(lines.back().substr(0, 14), "0010  00  Stop");
    EXPECT_NE(lines.back().find("R3=0"), std::string::npos) << lines.back();
    // Each step ends with the program line of its byte, also after the jump back to :start.
    const auto endsWith = [](const std::string& text, const std::string& tail) {
        return text.size() >= tail.size()
               && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
    };
    EXPECT_TRUE(endsWith(lines[0], " line 1")) << lines[0];
    EXPECT_TRUE(endsWith(lines[1], " line 2")) << lines[1];
    EXPECT_TRUE(endsWith(lines.back(), " line 10")) << lines.back();
    const auto jumpedBack = std::find_if(lines.begin() + 3, lines.end(), [](const std::string& l) {
        return l.rfind("0005  f0  Set 01", 0) == 0;
    });
    ASSERT_NE(jumpedBack, lines.end()) << r.Err;
    EXPECT_TRUE(endsWith(*jumpedBack, " line 4")) << *jumpedBack;
}

TEST_F(CliFiles, TraceNamesWhatThePageValuePassesOver)
{
    // Page C 1; Inc (passed over); Page C 0; Stop.
    const auto r = RunCli({"run", "--trace", "--listing", Write("paged.lst", "0201\n16\n0200\n00\n")});
    EXPECT_EQ(r.Status, 0);
    std::vector<std::string> lines;
    std::size_t start = 0, end = 0;
    while ((end = r.Err.find('\n', start)) != std::string::npos) {
        lines.push_back(r.Err.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_EQ(lines.size(), 4u) << r.Err;
    // A listing has no program lines to name.
    EXPECT_EQ(r.Err.find("line"), std::string::npos) << r.Err;
    EXPECT_EQ(lines[0].substr(0, 17), "0000  02  Page 01");
    EXPECT_EQ(lines[1].substr(0, 23), "0002  16  (passed over)");
    EXPECT_EQ(lines[2].substr(0, 17), "0003  02  Page 00");
    EXPECT_EQ(lines[3].substr(0, 14), "0005  00  Stop");
}

TEST_F(CliFiles, UnreadableFilesExitWith66)
{
    const auto missing = RunCli({"run", (dir_ / "missing.mir").string()});
    EXPECT_EQ(missing.Status, 66);
    EXPECT_NE(missing.Err.find("missing.mir"), std::string::npos);
    EXPECT_EQ(RunCli({"translate", dir_.string()}).Status, 66);
}

struct RefusedSource {
    const char* name;
    std::string file;      // "-" is standard input; empty is a file written with `bytes`
    std::string bytes;
    const char* input;     // standard input read from this file, if any
    std::string reason;
};

void PrintTo(const RefusedSource& row, std::ostream* os)
{
    *os << row.name;
}

class CliRefusals : public CliFiles, public ::testing::WithParamInterface<RefusedSource> {};

// What the window refuses to open, mirelo-cli refuses with the window's message and 66, at
// once and without reading endless input to its end.
TEST_P(CliRefusals, ExitWith66AndTheWindowsMessage)
{
    std::signal(SIGPIPE, SIG_IGN);
    const RefusedSource& row = GetParam();
    std::string file = row.file;
    if (file.empty())
        file = Write("prog.mir", row.bytes);
    else if (file == "folder")
        file = dir_.string();
    const std::string shown = file == "-" ? "standard input" : file;
    const auto started = std::chrono::steady_clock::now();
    const auto r = RunCli({"run", file}, file == "-" ? row.bytes : std::string(), row.input);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    EXPECT_EQ(r.Status, 66);
    EXPECT_EQ(r.Out, "");
    EXPECT_EQ(r.Err, "mirelo-cli: Could not open " + shown + ": " + row.reason + "\n");
}

const std::string kNotText = ", so it is not a text file";

INSTANTIATE_TEST_SUITE_P(
    Cli, CliRefusals,
    ::testing::Values(
        RefusedSource{"ExecutableWithNulBytes", "", std::string("\x7f" "ELF\x02\x01\x01\0\0", 9),
                      nullptr, "it holds a NUL byte on line 1" + kNotText},
        RefusedSource{"NulOnLaterLine", "", std::string("set 1\rinc\n\0", 12), nullptr,
                      "it holds a NUL byte on line 3" + kNotText},
        RefusedSource{"Folder", "folder", "", nullptr, "it is a folder, not a file"},
        RefusedSource{"Device", "/dev/zero", "", nullptr, "it is not a regular file"},
        RefusedSource{"OverFourMiB", "", std::string(4 * 1024 * 1024 + 1, 'a'), nullptr,
                      "it is larger than 4 MiB (4194305 bytes)"},
        RefusedSource{"EndlessStandardInput", "-", "", "/dev/zero", "it is larger than 4 MiB"},
        RefusedSource{"NulOnStandardInput", "-", std::string("inc\r\n\0", 6), nullptr,
                      "it holds a NUL byte on line 2" + kNotText}),
    [](const auto& row) { return std::string(row.param.name); });

struct BadCommandLine {
    const char* name;
    std::vector<std::string> args;
};

void PrintTo(const BadCommandLine& line, std::ostream* os)
{
    *os << line.name;
}

class CliUsage : public ::testing::TestWithParam<BadCommandLine> {};

TEST_P(CliUsage, ExitsWith64AndPrintsTheUsage)
{
    const auto r = RunCli(GetParam().args);
    EXPECT_EQ(r.Status, 64);
    EXPECT_NE(r.Err.find("usage: mirelo-cli"), std::string::npos) << r.Err;
    EXPECT_EQ(r.Out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cli, CliUsage,
    ::testing::Values(BadCommandLine{"NoCommand", {}}, BadCommandLine{"UnknownCommand", {"go"}},
                      BadCommandLine{"UnknownFlag", {"run", "--fast", "x"}},
                      BadCommandLine{"FlagOnTranslate", {"translate", "--trace", "x"}},
                      BadCommandLine{"MaxStepsWithoutNumber", {"run", "--max-steps"}},
                      BadCommandLine{"MaxStepsNotANumber", {"run", "--max-steps", "ten", "x"}},
                      BadCommandLine{"MaxStepsNegative", {"run", "--max-steps=-1", "x"}},
                      BadCommandLine{"TwoFiles", {"run", "a", "b"}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CliInfo, HelpAndVersionGoToStandardOutput)
{
    const auto help = RunCli({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("mirelo-cli run [--listing]"), std::string::npos);
    const auto version = RunCli({"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out.rfind("mirelo-cli ", 0), 0u);
}

// mirelo-cli check: grading programs against an exercise.

const std::string DoubleExercise = "title = \"Double\"\nmax_steps = 1000\n"
                                   "[[case]]\nname = \"twenty-one\"\ninput = [21]\noutput = [42]\n"
                                   "[[case]]\nname = \"<b>&\"\ninput = [\"<b>&\"]\noutput = [0]\n";
const std::string Doubler = "in $1\nset 1\nadd $1\nout $1\nstop\n";

TEST_F(CliFiles, CheckPrintsEachProgramItsFailingCasesAndATotal)
{
    const std::string exercise = Write("double.mirex", DoubleExercise);
    const std::string zero = Write("zero.mir", "in $1\nset 1\nmov $1,0\nout $1\nstop\n");
    const std::string wrong = Write("wrong.mir", Doubler);
    const std::string broken = Write("broken.mir", "nop\nset 1x\n");
    const std::string missing = (dir_ / "missing.mir").string();

    const auto r = RunCli({"check", exercise, zero, wrong, broken, missing});
    EXPECT_EQ(r.Status, 4);
    const std::string badInput = "Input is not an integer at address 0: '<b>&' is not a valid "
                                 "integer value";
    const std::string noFile = "Could not open " + missing + ": ";
    // wrong doubles, but its In cannot take the second case's text.
    EXPECT_EQ(r.Out.substr(0, r.Out.find(noFile)),
              zero + ": 0/2 cases passed\n  case \"twenty-one\": output 1: expected 42, got 0\n"
                     "  case \"<b>&\": " + badInput + "\n" +
              wrong + ": 1/2 cases passed\n  case \"<b>&\": " + badInput + "\n" +
              broken + ": 0/2 cases passed\n"
                       "  case \"twenty-one\": line 2: '1x' is not a valid integer value\n"
                       "  case \"<b>&\": line 2: '1x' is not a valid integer value\n" +
              missing + ": 0/2 cases passed\n  case \"twenty-one\": ");
    EXPECT_NE(r.Out.find("\n0 of 4 programs passed every case\n"), std::string::npos) << r.Out;
    // The translation's messages and the unreadable file on standard error, as translate
    // writes them; --no-warnings leaves out only the warnings.
    EXPECT_NE(r.Err.find(broken + ":1: warning: 'nop'"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find(broken + ":2: '1x' is not a valid integer value.\n"), std::string::npos);
    EXPECT_NE(r.Err.find("mirelo-cli: " + noFile), std::string::npos) << r.Err;
    const auto quiet = RunCli({"check", "--no-warnings", exercise, broken});
    EXPECT_EQ(quiet.Err, broken + ":2: '1x' is not a valid integer value.\n");

    const std::string all = Write("all.mirex", "title = \"t\"\n[[case]]\ninput = [2]\noutput = [4]\n");
    const auto passed = RunCli({"check", all, wrong, wrong});
    EXPECT_EQ(passed.Status, 0);
    EXPECT_EQ(passed.Out, wrong + ": 1/1 cases passed\n" + wrong + ": 1/1 cases passed\n"
                          "2 of 2 programs passed every case\n");
}

TEST_F(CliFiles, CheckRefusesABadExerciseWith65AndAMissingOneWith66)
{
    const std::string bad = Write("bad.mirex", "title = \"t\"\n[[case]]\noutput = [\"42\"]\n");
    const std::string program = Write("p.mir", Doubler);
    const auto refused = RunCli({"check", bad, program});
    EXPECT_EQ(refused.Status, 65);
    EXPECT_EQ(refused.Out, "");
    EXPECT_EQ(refused.Err, bad + ":3:11: output 1 must be a whole number, not a text\n");
    const std::string missing = (dir_ / "none.mirex").string();
    const auto unread = RunCli({"check", missing, program});
    EXPECT_EQ(unread.Status, 66);
    EXPECT_EQ(unread.Err, "mirelo-cli: Could not open " + missing + ": No such file or directory\n");
}

TEST_F(CliFiles, CheckKeepsTheArgumentOrderWhateverTheJobs)
{
    const std::string exercise =
        Write("e.mirex", "title = \"t\"\n[[case]]\noutput = [7]\n[[case]]\noutput = [7]\n");
    std::vector<std::string> args{"check", "--jobs", "4", exercise};
    std::string expected;
    for (int k = 0; k < 60; ++k) {
        // Longer runs early on, so that later programs finish first on other threads.
        const int loops = (60 - k) * 40;
        const std::string program = "mov $2," + std::to_string(loops % 250 + 1) +
                                    "\nset 2\n:l\ndec\nset 1\nset 2\njin :l,:e\n:e\nout " +
                                    std::to_string(k % 3 == 0 ? 7 : 100 + k) + "\nstop\n";
        args.push_back(Write("p" + std::to_string(k) + ".mir", program));
        expected += args.back() + (k % 3 == 0 ? ": 2/2 cases passed\n" : ": 0/2 cases passed\n");
        if (k % 3 != 0)
            for (int c = 1; c <= 2; ++c)
                expected += "  case \"case " + std::to_string(c) +
                            "\": output 1: expected 7, got " + std::to_string(100 + k) + "\n";
    }
    expected += "20 of 60 programs passed every case\n";
    const auto r = RunCli(args);
    EXPECT_EQ(r.Status, 4) << r.Err;
    EXPECT_EQ(r.Out, expected);
    args[2] = "1";
    EXPECT_EQ(RunCli(args).Out, expected);
}

// One record per line, fields split as RFC 4180 quotes them.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text)
{
    std::vector<std::vector<std::string>> rows{{""}};
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"')
            rows.back().back() += text[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            rows.back().emplace_back();
        else if (!quoted && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            rows.push_back({""}), ++i;
        else
            rows.back().back() += c;
    }
    rows.pop_back();   // after the last line break
    return rows;
}

TEST_F(CliFiles, CheckWritesCsvAndJUnitThatReadBack)
{
    const std::string exercise = Write("double.mirex", DoubleExercise);
    const std::string odd = Write("smith, \"jo\".mir", Doubler);
    const std::string plain = Write("plain.mir", "set 1x\n");
    const std::string csv = (dir_ / "grades.csv").string();
    const std::string xml = (dir_ / "grades.xml").string();
    const auto r = RunCli({"check", "--csv", csv, "--junit=" + xml, exercise, odd, plain});
    EXPECT_EQ(r.Status, 4);

    std::ifstream csvFile(csv, std::ios::binary);
    const std::string csvText((std::istreambuf_iterator<char>(csvFile)), {});
    const std::vector<std::vector<std::string>> rows{
        {"program", "passed", "total"}, {odd, "1", "2"}, {plain, "0", "2"}};
    EXPECT_EQ(ReadCsv(csvText), rows) << csvText;

    pugi::xml_document document;
    ASSERT_TRUE(document.load_file(xml.c_str()));
    const pugi::xml_node suites = document.child("testsuites");
    std::vector<std::string> seen;
    for (const pugi::xml_node suite : suites.children("testsuite")) {
        seen.push_back(suite.attribute("name").value());
        EXPECT_STREQ(suite.attribute("tests").value(), "2");
        for (const pugi::xml_node testCase : suite.children("testcase")) {
            const pugi::xml_node failure = testCase.child("failure");
            seen.push_back(std::string(testCase.attribute("name").value()) + " | " +
                           (failure ? failure.attribute("message").value() : "passed"));
        }
    }
    const std::vector<std::string> expected{
        odd, "twenty-one | passed",
        "<b>& | Input is not an integer at address 0: '<b>&' is not a valid integer value",
        plain, "twenty-one | line 1: '1x' is not a valid integer value",
        "<b>& | line 1: '1x' is not a valid integer value"};
    EXPECT_EQ(seen, expected);
    EXPECT_STREQ(suites.first_child().attribute("failures").value(), "1");

    // A report that cannot be written is named, after the results are printed.
    const auto blocked = RunCli({"check", "--csv", dir_.string(), exercise, odd});
    EXPECT_EQ(blocked.Status, 73);
    EXPECT_NE(blocked.Err.find("mirelo-cli: Could not save " + dir_.string()), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Check, CliUsage,
    ::testing::Values(BadCommandLine{"NoExercise", {"check"}},
                      BadCommandLine{"NoProgram", {"check", "e.mirex"}},
                      BadCommandLine{"JobsZero", {"check", "--jobs", "0", "e", "p"}},
                      BadCommandLine{"JobsNotANumber", {"check", "--jobs=two", "e", "p"}},
                      BadCommandLine{"JobsWithoutNumber", {"check", "e", "p", "--jobs"}},
                      BadCommandLine{"CsvWithoutFile", {"check", "e", "p", "--csv"}},
                      BadCommandLine{"RunFlagOnCheck", {"check", "--trace", "e", "p"}}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
