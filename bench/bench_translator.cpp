// Times the translation of generated programs of 20,000 and 200,000 lines and prints lines
// per second for each, then the ratio of their times; a linear translation keeps it near 10.
//
// Every tenth line is a code label and every other line refers to one. The labels cycle
// through 16 names; a name defined again resolves to its first definition, and all first
// definitions lie within the first 160 lines (14 bytes per 10 lines), so every referenced
// address stays within one byte. Early references point forward, later ones backward.

#include "translator/InstructionTable.h"
#include "translator/Translation.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kNames = 16;

std::vector<std::string> GenerateProgram(int lines)
{
    std::vector<std::string> program;
    program.reserve(static_cast<std::size_t>(lines));
    for (int i = 0; i < lines; ++i) {
        const int block = i / 10;
        if (i % 10 == 0)
            program.push_back(":l" + std::to_string(block % kNames));
        else if (i % 2 == 1)
            program.push_back("jmp :l" + std::to_string((block + i) % kNames));
        else
            program.push_back("inc");
    }
    return program;
}

// Best of a few runs, so that a busy machine disturbs the figure less.
double SecondsToTranslate(const TInstructionTable& table, const std::vector<std::string>& program,
                          std::size_t& listingLines)
{
    double best = 1e30;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const std::vector<std::string> listing = Translate(table, program);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
        listingLines = listing.size();
    }
    return best;
}

} // namespace

int main()
{
    TInstructionTable table;
    FillInstructionTable(table);
    double seconds[2] = {0, 0};
    const int sizes[2] = {20000, 200000};
    for (int k = 0; k < 2; ++k) {
        const std::vector<std::string> program = GenerateProgram(sizes[k]);
        std::size_t listingLines = 0;
        seconds[k] = SecondsToTranslate(table, program, listingLines);
        std::printf("%d lines: %.4f s, %.0f lines per second (%zu listing lines)\n", sizes[k],
                    seconds[k], sizes[k] / seconds[k], listingLines);
    }
    std::printf("time ratio 200000/20000: %.2f\n", seconds[1] / seconds[0]);
    return 0;
}
