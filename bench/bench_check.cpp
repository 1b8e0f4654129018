// Grading a class the way mirelo-cli check does: 1,000 program files read, translated and run
// against a five-case exercise, once on one thread and once on two. Wall-clock time, since
// the point of more jobs is the time a teacher waits; each count is the best of three rounds,
// so that a moment when another program holds a core counts against neither.

#include "cli/ClassCheck.h"
#include "exercise/Exercise.h"
#include "translator/InstructionTable.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Sums 1 to n: about five steps per number.
const char* Exercise = R"(title = "Sum up to n"
max_steps = 1000000
[[case]]
input = [10000]
output = [50005000]
[[case]]
input = [20000]
output = [200010000]
[[case]]
input = [5000]
output = [12502500]
[[case]]
input = [15000]
output = [112507500]
[[case]]
input = [1000]
output = [500500]
)";

// Every tenth program prints the counter instead of the sum and fails.
std::string Program(int k)
{
    return "in $1\n:loop\nset 2\nadd $1\nset 1\ndec\njig :loop,:end\n:end\nout $" +
           std::string(k % 10 == 0 ? "1" : "2") + "\nstop\n";
}

double Seconds(const TInstructionTable& table, const TExercise& exercise,
               const std::vector<std::string>& programs, unsigned jobs, std::size_t& passed)
{
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const std::vector<TProgramGrade> grades = CheckPrograms(table, exercise, programs, jobs);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        passed = static_cast<std::size_t>(std::count_if(
            grades.begin(), grades.end(), [](const TProgramGrade& g) { return g.Check.AllPassed(); }));
    }
    return best;
}

} // namespace

int main()
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                      ("mirelo-bench-check-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::vector<std::string> programs;
    for (int k = 0; k < 1000; ++k) {
        programs.push_back((dir / ("p" + std::to_string(k) + ".mir")).string());
        std::ofstream(programs.back()) << Program(k);
    }
    TInstructionTable table;
    FillInstructionTable(table);
    const TExercise exercise = ReadExercise(Exercise, "sum.mirex");

    std::size_t passed = 0;
    const double one = Seconds(table, exercise, programs, 1, passed);
    std::printf("check jobs 1: %zu programs in %.3f s, %.0f programs/s, %zu passed\n",
                programs.size(), one, static_cast<double>(programs.size()) / one, passed);
    const double two = Seconds(table, exercise, programs, 2, passed);
    std::printf("check jobs 2: %zu programs in %.3f s, %.0f programs/s, %zu passed\n",
                programs.size(), two, static_cast<double>(programs.size()) / two, passed);
    std::filesystem::remove_all(dir);
    std::printf("check jobs 2/1 speed-up: %.2f\n", one / two);
    return passed == 900 ? 0 : 1;
}
