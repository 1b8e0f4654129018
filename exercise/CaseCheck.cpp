#include "exercise/CaseCheck.h"

#include "emulator/ListingLoader.h"
#include "emulator/Machine.h"
#include "translator/Translation.h"

#include <charconv>

namespace {

// Raised by the hooks when In asks for more than the case gives; ends the run.
struct EInputUsedUp {
    std::size_t Asked;
};

// In answers from the case's input in order; Out collects the values. Nothing is shown.
class TCaseHooks {
public:
    explicit TCaseHooks(const std::vector<std::string>& input) : input_(input) {}

    void Position(std::int64_t) {}
    void Delay() {}
    void Registers(const TRegisterFile&, std::uint8_t) {}
    void Memory(TMemoryStream&) {}

    void Output(const std::string& text)
    {
        // The machine sends the decimal text of a 32-bit value, which always converts back.
        std::int32_t value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        output_.push_back(value);
    }

    std::string Input()
    {
        if (next_ == input_.size())
            throw EInputUsedUp{next_ + 1};
        return input_[next_++];
    }

    std::vector<std::int32_t>& Printed() { return output_; }

private:
    const std::vector<std::string>& input_;
    std::size_t next_ = 0;
    std::vector<std::int32_t> output_;
};

std::string Outputs(std::size_t count)
{
    return std::to_string(count) + (count == 1 ? " output" : " outputs");
}

// Why the printed values and the registers at the end are not what the case expects; empty
// when they are.
std::string Mismatch(const TExerciseCase& testCase, const std::vector<std::int32_t>& printed,
                     const TRegisterFile& registers)
{
    const std::vector<std::int32_t>& expected = testCase.Output;
    for (std::size_t k = 0; k < expected.size() && k < printed.size(); ++k) {
        if (expected[k] != printed[k])
            return "output " + std::to_string(k + 1) + ": expected " +
                   std::to_string(expected[k]) + ", got " + std::to_string(printed[k]);
    }
    if (expected.size() != printed.size())
        return "expected " + Outputs(expected.size()) + ", got " + std::to_string(printed.size());
    for (const auto& [number, value] : testCase.Registers) {
        const std::int32_t held = registers[static_cast<std::size_t>(number - 1)];
        if (held != value)
            return "R" + std::to_string(number) + ": expected " + std::to_string(value) +
                   ", got " + std::to_string(held);
    }
    return {};
}

} // namespace

std::size_t TProgramCheck::Passed() const
{
    std::size_t passed = 0;
    for (const TCaseResult& result : Cases)
        passed += result.Passed ? 1 : 0;
    return passed;
}

TCaseResult CheckCase(const TExercise& exercise, const TExerciseCase& testCase,
                      const std::vector<std::uint8_t>& image)
{
    TMemoryStream memory(image);
    TMachine machine(memory);
    machine.Reset();
    TCaseHooks hooks(testCase.Input);
    TCaseResult result;
    try {
        machine.Run(hooks, exercise.MaxSteps);
    } catch (const EMachineFault& fault) {
        result.Reason = fault.what();
    } catch (const EInputUsedUp& used) {
        result.Reason = "asked for input " + std::to_string(used.Asked) + ", but the case gives " +
                        std::to_string(testCase.Input.size());
    }
    result.Output = std::move(hooks.Printed());
    if (!result.Reason.empty())
        return result;
    // Running off the end of the image is how a run without a Stop byte ends by itself.
    const bool ended =
        machine.EndReason() != TMachineEnd::None || !machine.Image().AtValidByte();
    if (!ended) {
        result.Reason = "no end within " + std::to_string(exercise.MaxSteps) + " steps";
        return result;
    }
    result.Reason = Mismatch(testCase, result.Output, machine.Registers());
    result.Passed = result.Reason.empty();
    return result;
}

TProgramCheck CheckTranslation(const TExercise& exercise, const TTranslation& translation)
{
    TProgramCheck check;
    if (translation.Failure) {
        check.TranslationError = "line " + std::to_string(translation.Failure->Line) + ": " +
                                 translation.Failure->Message;
        for (std::size_t k = 0; k < exercise.Cases.size(); ++k)
            check.Cases.push_back(TCaseResult{false, check.TranslationError, {}});
        return check;
    }
    const std::vector<std::uint8_t> image = LoadListing(translation.Listing);
    for (const TExerciseCase& testCase : exercise.Cases)
        check.Cases.push_back(CheckCase(exercise, testCase, image));
    return check;
}

TProgramCheck CheckProgram(const TInstructionTable& table, const TExercise& exercise,
                           const std::vector<std::string>& program)
{
    return CheckTranslation(exercise, TranslateProgram(table, program));
}
