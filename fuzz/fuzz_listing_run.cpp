// Any listing text loads into an image, and the machine runs that image with canned input
// until it ends, fails with its own fault, or reaches the step cap - never anything else.

#include "FuzzInput.h"
#include "emulator/ListingLoader.h"
#include "emulator/Machine.h"
#include "emulator/RegisterText.h"
#include "translator/NumberText.h"
#include "translator/strutils2.h"

#include <array>

namespace {

constexpr int StepCap = 5000;

// Answers that cover numbers, both ends of the range, hexadecimal, and text that is none.
const std::array<const char*, 8> CannedInput = {"5", "-3", "2147483647", "-2147483648",
                                                "$ff", "", "abc", "2147483648"};

struct TCannedHooks {
    TMemoryStream* image = nullptr;
    std::size_t answers = 0;
    std::int64_t lastAddress = -1;
    long registerCalls = 0;

    void Position(std::int64_t address)
    {
        if (address < 0 || address >= image->Size())
            Fail("position hook outside the image");
        lastAddress = address;
    }
    void Output(const std::string& text)
    {
        std::int32_t value = 0;
        if (!TryStrToInt(text, value) || std::to_string(value) != text)
            Fail("output is not a decimal number");
    }
    std::string Input() { return CannedInput[answers++ % CannedInput.size()]; }
    void Delay() {}
    void Registers(const TRegisterFile&, std::uint8_t) { ++registerCalls; }
    void Memory(TMemoryStream& shown)
    {
        if (shown.Size() > 0x10000)
            Fail("image grew without bound");
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> lines = SplitLines(AsText(data, size));
    std::size_t characters = 0;
    for (const std::string& line : lines)
        characters += line.size() / 2;
    TMemoryStream image(LoadListing(lines));
    if (static_cast<std::size_t>(image.Size()) != characters)
        Fail("image size is not the number of character pairs");

    TMachine machine(image);
    TCannedHooks hooks;
    hooks.image = &image;
    machine.Reset();
    try {
        for (int step = 0; step < StepCap && machine.Step(hooks); ++step) {
        }
    } catch (const EMachineFault&) {
    }
    // The register list's text for whatever state the run ended in, a current register past
    // R15 included.
    const std::vector<std::string> shown = RegisterLines(machine.Registers(), machine.Current());
    if (shown.size() != machine.Registers().size())
        Fail("register lines do not match the register file");
    return 0;
}
