#include "CliRunner.h"

#include "Machine.h"
#include "RegisterText.h"

#include <cinttypes>
#include <string>

namespace {

// Out and In on the standard streams; every other hook does nothing, so the step stays cheap.
class TStdioHooks {
public:
    explicit TStdioHooks(const TCliStreams& streams) : streams_(streams) {}

    void Position(std::int64_t) {}
    void Delay() {}
    void Registers(const TRegisterFile&, std::uint8_t) {}
    void Memory(TMemoryStream&) {}

    void Output(const std::string& text)
    {
        std::fprintf(streams_.Out, "Value: %s\n", text.c_str());
        // A person or a script watching the run sees each value as it happens.
        std::fflush(streams_.Out);
    }

    // One line without its line break; at the end of input the empty text.
    std::string Input()
    {
        std::string line;
        int c = 0;
        while ((c = std::fgetc(streams_.In)) != EOF && c != '\n')
            line.push_back(static_cast<char>(c));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return line;
    }

protected:
    const TCliStreams& streams_;
};

// Adds one line per step on standard error: the opcode's address and byte, the instruction
// with its operand bytes when the byte executes as one, and the current register afterwards.
class TTraceHooks : public TStdioHooks {
public:
    TTraceHooks(const TCliStreams& streams, const TMachine& machine, const TInstructionTable& table)
        : TStdioHooks(streams), machine_(machine), table_(table)
    {
    }

    void Position(std::int64_t p)
    {
        const auto& bytes = machine_.Image().Bytes();
        const std::uint8_t opcode = bytes[static_cast<std::size_t>(p - 1)];
        line_ = FormatAddress(p - 1, opcode);
        // While the page value is non-zero only Stop, Reset and Page act.
        const bool executes = opcode <= 4 || machine_.Page() == 0;
        if (!executes) {
            line_ += "(passed over)";
            return;
        }
        const TOpCode* row = table_.FindOpcode(opcode);
        if (!row)
            return;
        line_ += row->Mnemonic;
        const int operands = TMachine::OperandCount(opcode);
        for (int k = 0; k < operands; ++k) {
            const auto at = static_cast<std::size_t>(p + k);
            char text[4];
            if (at < bytes.size())
                std::snprintf(text, sizeof text, " %02x", bytes[at]);
            else
                std::snprintf(text, sizeof text, " --");
            line_ += text;
        }
    }

    void Finish()
    {
        if (line_.empty())
            return;
        const std::uint8_t current = machine_.Current();
        std::string value = "?";
        if (current < machine_.Registers().size())
            value = std::to_string(machine_.Registers()[current]);
        std::fprintf(streams_.Err, "%-28s R%u=%s\n", line_.c_str(), current + 1u, value.c_str());
        line_.clear();
    }

private:
    static std::string FormatAddress(std::int64_t address, std::uint8_t opcode)
    {
        char text[40];
        std::snprintf(text, sizeof text, "%04" PRIx64 "  %02x  ", static_cast<std::uint64_t>(address),
                      opcode);
        return text;
    }

    const TMachine& machine_;
    const TInstructionTable& table_;
    std::string line_;
};

template <class Hooks>
int RunLoop(TMachine& machine, Hooks& hooks, std::uint64_t maxSteps, const TCliStreams& streams)
{
    constexpr bool tracing = std::is_same_v<Hooks, TTraceHooks>;
    try {
        for (std::uint64_t steps = 0; steps < maxSteps; ++steps) {
            const bool goesOn = machine.Step(hooks);
            if constexpr (tracing)
                hooks.Finish();
            if (!goesOn)
                return ExitEnded;
        }
    } catch (const EMachineFault& fault) {
        if constexpr (tracing)
            hooks.Finish();
        std::fprintf(streams.Err, "mirelo-cli: run failed: %s\n", fault.what());
        return ExitRunFailed;
    }
    // Finding the end of the image is how a run without a Stop byte ends by itself; it
    // costs no step of the budget.
    if (!machine.Image().AtValidByte())
        return ExitEnded;
    std::fprintf(streams.Err, "mirelo-cli: stopped after %" PRIu64 " steps\n", maxSteps);
    return ExitStepLimit;
}

} // namespace

int RunImage(TMemoryStream& image, const TInstructionTable& table, const TCliOptions& options,
             const TCliStreams& streams)
{
    TMachine machine(image);
    machine.Reset();
    int status = ExitEnded;
    if (options.Trace) {
        TTraceHooks hooks(streams, machine, table);
        status = RunLoop(machine, hooks, options.MaxSteps, streams);
    } else {
        TStdioHooks hooks(streams);
        status = RunLoop(machine, hooks, options.MaxSteps, streams);
    }
    if (options.Registers) {
        for (const std::string& line : RegisterLines(machine.Registers(), machine.Current()))
            std::fprintf(streams.Out, "%s\n", line.c_str());
    }
    std::fflush(streams.Out);
    return status;
}
