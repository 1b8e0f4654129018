#include "cli/CliRunner.h"

#include "cli/TerminalText.h"
#include "emulator/Machine.h"
#include "emulator/RegisterText.h"
#include "translator/Encoding.h"
#include "translator/strutils2.h"

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
    // Called once the run has stopped, also after a failure.
    void Finish() {}

    void Output(const std::string& text)
    {
        std::fprintf(streams_.Out, "%s\n", OutputLine(text).c_str());
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
// Memory, a completed step's last hook, writes the line; Finish() writes that of a step that
// ended the run or failed.
class TTraceHooks : public TStdioHooks {
public:
    TTraceHooks(const TCliStreams& streams, const TMachine& machine,
                const std::vector<TByteOrigin>& byteOrigins)
        : TStdioHooks(streams), machine_(machine), byteOrigins_(byteOrigins)
    {
    }

    void Position(std::int64_t address)
    {
        const auto& bytes = machine_.Image().Bytes();
        const auto opcodeAt = static_cast<std::size_t>(address);
        programLine_ = opcodeAt < byteOrigins_.size() ? byteOrigins_[opcodeAt].ProgramLine : 0;
        const std::uint8_t opcode = bytes[opcodeAt];
        line_ = HexText(opcodeAt, 4, false) + "  " + HexText(opcode, 2, false) + "  ";
        if (!machine_.Executes(opcode)) {
            line_ += "(passed over)";
            return;
        }
        const TEncoding* form = EncodingOf(opcode);
        if (!form)
            return;
        line_ += form->Mnemonic;
        for (int k = 1; k <= form->OperandCount(); ++k) {
            const std::size_t at = opcodeAt + static_cast<std::size_t>(k);
            line_ += at < bytes.size() ? " " + HexText(bytes[at], 2, false) : " --";
        }
    }

    void Memory(TMemoryStream&) { Finish(); }

    void Finish()
    {
        if (line_.empty())
            return;
        const std::uint8_t current = machine_.Current();
        std::string value = "?";
        if (current < machine_.Registers().size())
            value = std::to_string(machine_.Registers()[current]);
        const std::string registerText = "R" + std::to_string(current + 1u) + "=" + value;
        if (programLine_ == 0)
            std::fprintf(streams_.Err, "%-28s %s\n", line_.c_str(), registerText.c_str());
        else
            std::fprintf(streams_.Err, "%-28s %-16s line %zu\n", line_.c_str(),
                         registerText.c_str(), programLine_);
        line_.clear();
    }

private:
    const TMachine& machine_;
    const std::vector<TByteOrigin>& byteOrigins_;
    std::string line_;
    std::size_t programLine_ = 0;   // 0 when the step's byte has no program line
};

// Runs until the run ends or maxSteps steps have been taken; false after a failure, which
// it reports.
template <class Hooks>
bool RunSteps(TMachine& machine, Hooks& hooks, std::uint64_t maxSteps, const TCliStreams& streams)
{
    try {
        machine.Run(hooks, maxSteps);
        hooks.Finish();
    } catch (const EMachineFault& fault) {
        hooks.Finish();
        // An In failure quotes the text read, which may hold control characters.
        std::fprintf(streams.Err, "mirelo-cli: run failed: %s\n",
                     EscapeForTerminal(fault.what()).c_str());
        return false;
    }
    return true;
}

template <class Hooks>
int RunLoop(TMachine& machine, Hooks& hooks, std::uint64_t maxSteps, const TCliStreams& streams)
{
    if (!RunSteps(machine, hooks, maxSteps, streams))
        return ExitRunFailed;
    // Finding the end of the image is how a run without a Stop byte ends by itself; it
    // costs no step of the budget.
    if (machine.EndReason() != TMachineEnd::None || !machine.Image().AtValidByte())
        return ExitEnded;
    std::fprintf(streams.Err, "mirelo-cli: stopped after %" PRIu64 " steps\n", maxSteps);
    return ExitStepLimit;
}

} // namespace

int RunImage(TMemoryStream& image, const TCliOptions& options, const TCliStreams& streams,
             const std::vector<TByteOrigin>& byteOrigins)
{
    TMachine machine(image);
    machine.Reset();
    int status = ExitEnded;
    if (options.Trace) {
        TTraceHooks hooks(streams, machine, byteOrigins);
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
