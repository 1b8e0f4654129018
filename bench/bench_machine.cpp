// The machine alone against the leanest interpreter of the same loop: a counted loop with hooks
// that do nothing and no step delay, run side by side so that both see the same machine load.
// Each is timed by the processor time of this thread, so that time spent waiting for a core
// that other programs hold counts for neither.

#include "emulator/Machine.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <limits>
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

struct TRound {
    std::uint64_t steps = 0; // the step that ends the run counts too
    std::int32_t r1 = 0;
    double seconds = 0;
};

double ThreadSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <class Body>
TRound Timed(Body body)
{
    const double start = ThreadSeconds();
    TRound round = body();
    round.seconds = ThreadSeconds() - start;
    return round;
}

// The headless run, as mirelo-cli makes it.
TRound RunMachine(TMemoryStream& image)
{
    TMachine machine(image);
    TSilentHooks hooks;
    machine.Reset();
    TRound round;
    round.steps = machine.Run(hooks, std::numeric_limits<std::uint64_t>::max());
    round.r1 = machine.Registers()[0];
    if (machine.EndReason() != TMachineEnd::StopByte)
        round.r1 = -1; // ends otherwise than the lean loop: the comparison below fails
    return round;
}

// The leanest interpreter of this loop: a byte array, a switch on the opcode, 32-bit
// wrap-around registers, a current register and operands read from the image. It knows only
// the opcodes the loop uses and ends at a Stop byte, at the end of the image or at any other
// byte.
TRound RunLean(const std::vector<std::uint8_t>& image)
{
    std::array<std::int32_t, 15> registers{};
    const std::uint8_t current = 0;
    const std::uint8_t* bytes = image.data();
    const std::size_t size = image.size();
    std::size_t position = 0;
    std::uint64_t steps = 0;
    const auto wrap = [](std::uint32_t value) { return static_cast<std::int32_t>(value); };
    const auto u = [](std::int32_t value) { return static_cast<std::uint32_t>(value); };
    bool running = true;
    while (running && position < size) {
        ++steps;
        const std::uint8_t opcode = bytes[position++];
        std::int32_t& cur = registers[current];
        switch (opcode) {
        case 0x10: // Add CC
            cur = wrap(u(bytes[position]) + u(bytes[position + 1]));
            position += 2;
            break;
        case 0x26: // Dec
            cur = wrap(u(cur) - 1u);
            break;
        case 0x40: // Mul C
            cur = wrap(u(cur) * bytes[position]);
            position += 1;
            break;
        case 0x96: { // Jig CC
            const std::uint8_t first = bytes[position];
            const std::uint8_t second = bytes[position + 1];
            position = cur > 0 ? first : second;
            break;
        }
        default: // Stop, and every byte this loop does not use
            running = false;
            break;
        }
    }
    return {steps, registers[0], 0};
}

void Print(const char* name, int round, const TRound& result)
{
    std::printf("%-7s round %d: %llu instructions in %.3f s, R1 = %d\n", name, round,
                static_cast<unsigned long long>(result.steps), result.seconds,
                static_cast<int>(result.r1));
}

} // namespace

// Side by side, best of several rounds each: other programs on the machine slow single rounds.
constexpr int Rounds = 7;

int main()
{
    TMemoryStream image(CountedLoop);
    double bestMachine = 0;
    double bestLean = 0;
    for (int round = 1; round <= Rounds; ++round) {
        const TRound machine = Timed([&image] { return RunMachine(image); });
        const TRound lean = Timed([] { return RunLean(CountedLoop); });
        Print("machine", round, machine);
        Print("lean", round, lean);
        if (machine.steps != lean.steps || machine.r1 != lean.r1) {
            std::printf("the two loops disagree\n");
            return 1;
        }
        bestMachine = std::max(bestMachine, static_cast<double>(machine.steps) / machine.seconds);
        bestLean = std::max(bestLean, static_cast<double>(lean.steps) / lean.seconds);
    }
    std::printf("machine instructions per second: %.0f\n", bestMachine);
    std::printf("lean instructions per second: %.0f\n", bestLean);
    std::printf("machine/lean ratio: %.2f\n", bestMachine / bestLean);
    return 0;
}
