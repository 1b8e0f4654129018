// The machine alone: a counted loop with hooks that do nothing and no step delay.

#include "Machine.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct TSilentHooks {
    void Position(std::int64_t) {}
    void Output(const std::string&) {}
    std::string Input() { return "0"; }
    void Delay() {}
    void Registers(const TRegisterFile&, std::uint8_t) {}
    void Memory(TMemoryStream&) {}
};

// R1 := 255 + 255, times 255, times 100 = 13005000; then Dec and Jig back to the Dec until it
// reaches 0, about 26 million instructions.
const std::vector<std::uint8_t> CountedLoop = {
    0x10, 0xFF, 0xFF, // 0: Add CC 255, 255
    0x40, 0xFF,       // 3: Mul C 255
    0x40, 0x64,       // 5: Mul C 100
    0x26,             // 7: Dec
    0x96, 0x07, 0x0B, // 8: Jig CC 7, 11
    0x00,             // 11: Stop
};

} // namespace

int main()
{
    TMemoryStream image(CountedLoop);
    TMachine machine(image);
    TSilentHooks hooks;
    double best = 0;
    for (int round = 0; round < 3; ++round) {
        machine.Reset();
        std::uint64_t steps = 1; // the step that ends the run counts too
        const auto start = std::chrono::steady_clock::now();
        while (machine.Step(hooks))
            ++steps;
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        const double perSecond = static_cast<double>(steps) / elapsed.count();
        std::printf("round %d: %llu instructions in %.3f s, R1 = %d\n", round + 1,
                    static_cast<unsigned long long>(steps), elapsed.count(),
                    static_cast<int>(machine.Registers()[0]));
        if (perSecond > best)
            best = perSecond;
    }
    std::printf("instructions per second: %.0f\n", best);
    return 0;
}
