#pragma once
// The emulated processor: its state and one step of the instruction cycle. Free of threads and
// windows, so the worker, a command-line runner and the tests all drive the same code.

#include "MachineFault.h"
#include "MemoryStream.h"
#include "WindowHooks.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace machine_detail {

// Operand bytes per opcode in the instruction encoding; -1 for a byte that is no instruction.
constexpr std::array<std::int8_t, 256> MakeOperandCounts()
{
    std::array<std::int8_t, 256> counts{};
    counts.fill(-1);
    const auto row = [&counts](int first, std::initializer_list<int> operands) {
        for (const int n : operands)
            counts[static_cast<std::size_t>(first++)] = static_cast<std::int8_t>(n);
    };
    row(0x00, {0, 0, 1, 1, 1});                                   // Stop, Reset, Page
    row(0x10, {2, 1, 2, 1, 2, 1, 0});                             // Add, Inc
    row(0x20, {2, 1, 2, 1, 2, 1, 0});                             // Sub, Dec
    row(0x30, {2, 2, 2, 2, 2, 2});                                // Div, iDiv
    row(0x40, {1, 2, 1, 2, 1, 2});                                // Mul
    row(0x50, {2, 1, 0, 2, 1, 2, 1, 2, 1, 0, 2, 1, 2, 1});        // And, Or
    row(0x60, {1, 0, 1, 1, 2, 1, 0, 2, 1, 2, 1});                 // Not, XOr
    row(0x70, {2, 2, 2, 2, 1, 1, 1, 2, 2});                       // Mov
    row(0x80, {2, 2, 1, 1});                                      // Xch
    row(0x90, {1, 1, 1, 2, 2, 2, 2, 2, 2});                       // Jmp, Jin, Jig
    row(0xA0, {2, 2, 2, 2, 2, 2});                                // Cmp
    row(0xF0, {1, 1, 1, 1, 1, 1, 1, 1});                          // Set, Out, In
    return counts;
}

inline constexpr std::array<std::int8_t, 256> OperandCounts = MakeOperandCounts();

} // namespace machine_detail

// Step() reaches the outside only through a hooks object of any type that offers
//   void Position(std::int64_t p);          p: the position after the opcode fetch
//   void Output(const std::string& text);   the decimal text of the value sent out
//   std::string Input();                    the entered text, converted by the machine
//   void Delay();                           once, when the step takes effect
//   void Registers(const TRegisterFile& registers, std::uint8_t current);
//   void Memory(TMemoryStream& image);
// called in this order within a step: Position; Output or Input during Out and In; Delay;
// Registers; Memory. A step that ends the run makes only the Position call; a step that fails
// makes the calls before the failure. The "Value: " prefix of an output line is not added here.
class TMachine {
public:
    explicit TMachine(TMemoryStream& image);

    // The start of a run: every register 0, R1 current, page 0, position 0.
    void Reset();

    // Executes one step. False when the run has ended: a Stop byte, Reset with 170, a position
    // outside the image, or an instruction whose operand bytes would lie beyond its end.
    // Throws EMachineFault for a failure and passes on whatever a hook throws.
    template <class Hooks>
    bool Step(Hooks& hooks);

    const TRegisterFile& Registers() const { return registers_; }
    // Writable for runners and tests that start from a prepared state.
    TRegisterFile& Registers() { return registers_; }
    // 0-based; may lie outside the register file after a Set.
    std::uint8_t Current() const { return current_; }
    void SetCurrent(std::uint8_t index) { current_ = index; }
    std::uint8_t Page() const { return page_; }
    void SetPage(std::uint8_t page) { page_ = page; }
    TMemoryStream& Image() { return image_; }
    const TMemoryStream& Image() const { return image_; }

    // Address and value of the opcode byte fetched by the latest step, for traces.
    std::int64_t OpcodeAddress() const { return opcodeAddress_; }
    std::uint8_t Opcode() const { return opcode_; }

    // The number of operand bytes an instruction reads when executed, or -1 for a byte that
    // is no instruction of its own (0 and 1 read none; 2 to 4 read one).
    static int OperandCount(std::uint8_t opcode) { return machine_detail::OperandCounts[opcode]; }

private:
    std::int32_t& Register(std::uint8_t number)
    {
        const unsigned index = number == 0 ? current_ : number - 1u;
        if (index >= registers_.size())
            Fault(TFaultKind::RegisterOutOfRange);
        return registers_[index];
    }
    // Operand readers, each consuming its byte at the position.
    std::int32_t C() { return image_.ReadByte(); }
    std::uint8_t A() { return image_.ReadByte(); }
    std::int32_t& R() { return Register(image_.ReadByte()); }
    std::int32_t M() { return MemoryAt(image_.ReadByte()); }
    std::int32_t& Cur() { return Register(0); }

    std::int32_t MemoryAt(std::uint8_t address) const
    {
        return address < image_.Size() ? image_.Bytes()[address] : 0;
    }
    void WriteMemory(std::uint8_t address, std::int32_t value);
    void ClearImage();
    std::int32_t ParseInput(const std::string& text) const;
    [[noreturn]] void Fault(TFaultKind kind, const std::string& detail = {}) const;

    // Every instruction with page 0 but Out and In, which need the hooks.
    void Execute();
    void ExecuteArithmetic();
    void ExecuteDivision();
    void ExecuteNot();
    void ExecuteMove();
    void ExecuteExchange();
    void ExecuteJump();
    void ExecuteCompare();
    void ExecuteSet();
    template <class Hooks>
    void ExecuteInOut(Hooks& hooks);

    TMemoryStream& image_;
    TRegisterFile registers_{};
    std::uint8_t current_ = 0;
    std::uint8_t page_ = 0;
    std::int64_t opcodeAddress_ = -1;
    std::uint8_t opcode_ = 0;
};

template <class Hooks>
bool TMachine::Step(Hooks& hooks)
{
    // The size is taken anew each step: a write beyond the end grows the program too.
    const std::int64_t at = image_.Position();
    const std::int64_t size = image_.Size();
    if (at < 0 || at >= size)
        return false;
    opcodeAddress_ = at;
    opcode_ = image_.ReadByte();
    hooks.Position(at + 1);

    if (opcode_ <= 4) {
        if (opcode_ == 0)
            return false;
        if (opcode_ == 1) {
            if (Cur() == 170) {
                ClearImage();
                return false;
            }
        } else {
            if (at + 2 > size)
                return false;
            const std::int32_t page = opcode_ == 2 ? C() : opcode_ == 3 ? R() : M();
            page_ = static_cast<std::uint8_t>(page);
            hooks.Delay();
        }
    } else if (page_ == 0) {
        const int operands = machine_detail::OperandCounts[opcode_];
        if (operands >= 0) {
            if (at + 1 + operands > size)
                return false;
            if (opcode_ >= 0xF3)
                ExecuteInOut(hooks);
            else
                Execute();
            hooks.Delay();
        }
    }
    hooks.Registers(registers_, current_);
    hooks.Memory(image_);
    return true;
}

template <class Hooks>
void TMachine::ExecuteInOut(Hooks& hooks)
{
    switch (opcode_) {
    case 0xF3:
        hooks.Output(std::to_string(C()));
        break;
    case 0xF4:
        hooks.Output(std::to_string(R()));
        break;
    case 0xF5:
        hooks.Output(std::to_string(M()));
        break;
    case 0xF6: {
        const std::uint8_t address = A();
        WriteMemory(address, ParseInput(hooks.Input()));
        break;
    }
    default: {
        // The register is checked before the user is asked for a value it could not hold.
        std::int32_t& target = R();
        target = ParseInput(hooks.Input());
        break;
    }
    }
}
