#pragma once
// The emulated processor: its state and one step of the instruction cycle. Free of threads and
// windows, so the worker, a command-line runner and the tests all drive the same code.

#include "emulator/MachineFault.h"
#include "emulator/MemoryStream.h"
#include "emulator/RegisterFile.h"
#include "translator/Encoding.h"

#include <concepts>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// What a step calls on the outside, in this order within a step: Position; Output or Input
// during Out and In; Delay; Registers; Memory. A step that ends the run makes only the Position
// call; a step that fails makes the calls before the failure. The "Value: " prefix of an
// output line is not added by the machine.
template <class Hooks>
concept TMachineHooks = requires(Hooks& hooks, std::int64_t address, const std::string& text,
                                 const TRegisterFile& registers, std::uint8_t current,
                                 TMemoryStream& image) {
    hooks.Position(address); // the address of the opcode byte just fetched
    hooks.Output(text);      // the decimal text of the value sent out
    { hooks.Input() } -> std::convertible_to<std::string>; // the entered text, not yet converted
    hooks.Delay();           // once, when the step takes effect
    hooks.Registers(registers, current);
    hooks.Memory(image);
};

// Hooks may also tell the machine to hold before a step: `hooks.BreaksAt(address)` true ends
// Run() before the step at that address, which is neither fetched nor counted.
template <class Hooks>
concept TBreakingHooks = requires(Hooks& hooks, std::int64_t address) {
    { hooks.BreaksAt(address) } -> std::convertible_to<bool>;
};

// Why the latest step ended the run; None while it goes on. A position outside the image and
// an instruction whose operand bytes would lie beyond its end both count as its end.
enum class TMachineEnd { None, StopByte, Reset, EndOfImage };

class TMachine {
public:
    explicit TMachine(TMemoryStream& image);

    // The start of a run: every register as StartRegisters, StartCurrent current, page 0,
    // position 0.
    void Reset();
    // What the registers hold before a run's first step, and the current register then (R1).
    static constexpr TRegisterFile StartRegisters{};
    static constexpr std::uint8_t StartCurrent = 0;

    // Executes steps until the run ends, `maxSteps` steps have been taken or breaking hooks
    // hold it, and returns the number of steps taken, the one that ended the run included;
    // EndReason() then tells whether and why it ended. Throws EMachineFault for a failure and passes on whatever a
    // hook throws; a failed instruction leaves the position just after its opcode byte, a
    // failed hook at that byte. Between the steps of one call the position stays in the
    // machine's hands: hooks must leave the image's position as they found it.
    template <TMachineHooks Hooks>
    std::uint64_t Run(Hooks& hooks, std::uint64_t maxSteps);

    // Executes one step. False when the run has ended, and EndReason() says why.
    template <TMachineHooks Hooks>
    bool Step(Hooks& hooks)
    {
        Run(hooks, 1);
        return end_ == TMachineEnd::None;
    }

    // Why the latest Run() or Step() ended the run; None when it goes on.
    TMachineEnd EndReason() const { return end_; }

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

    // Takes the run back to a state it had; the image is the caller's to put back.
    void Restore(const TRegisterFile& registers, std::uint8_t current, std::uint8_t page,
                 std::int64_t opcodeAddress)
    {
        registers_ = registers;
        current_ = current;
        page_ = page;
        opcodeAddress_ = opcodeAddress;
        end_ = TMachineEnd::None;
    }

    // Address of the opcode byte fetched by the latest step, -1 before the first.
    std::int64_t OpcodeAddress() const { return opcodeAddress_; }

    // True when the page value lets this byte act: Stop, Reset and Page always, every other
    // byte only while the page value is 0. A byte that is no instruction acts as nothing.
    bool Executes(std::uint8_t opcode) const { return page_ == 0 || opcode <= 4; }

private:
    // The operand bytes of one instruction, read in order straight from the image. Next()
    // is the position after the last byte read.
    class TOperands {
    public:
        TOperands(const std::uint8_t* bytes, std::int64_t at) : bytes_(bytes), next_(at + 1) {}
        std::uint8_t Byte() { return bytes_[next_++]; }
        std::int64_t Next() const { return next_; }

    private:
        const std::uint8_t* bytes_;
        std::int64_t next_;
    };

    enum class TOperation { Add, Sub, Mul, And, Or, XOr };
    // Where the two values of an arithmetic instruction come from: two operands, the current
    // register and one operand, the current register and 1 (Inc, Dec), or the current
    // register with itself (And, Or and XOr without operands).
    enum class TForm { CC, C, RR, R, MM, M, One, Self };

    // Register, MemoryAt and WriteMemory stay inline on the per-step path however large the
    // instruction switch grows.
    [[gnu::always_inline]] std::int32_t& Register(std::uint8_t number)
    {
        const unsigned index = number == 0 ? current_ : number - 1u;
        if (index >= registers_.size()) [[unlikely]]
            Fault(TFaultKind::RegisterOutOfRange);
        return registers_[index];
    }
    [[gnu::always_inline]] std::int32_t& Cur() { return Register(0); }

    [[gnu::always_inline]] std::int32_t MemoryAt(std::uint8_t address) const
    {
        const std::vector<std::uint8_t>& bytes = image_.Bytes();
        return address < bytes.size() ? bytes[address] : 0;
    }
    [[gnu::always_inline]] void WriteMemory(std::uint8_t address, std::int32_t value)
    {
        std::vector<std::uint8_t>& bytes = image_.Bytes();
        if (address < bytes.size()) [[likely]]
            bytes[address] = static_cast<std::uint8_t>(value);
        else
            WriteBeyondEnd(address, value);
    }
    void WriteBeyondEnd(std::uint8_t address, std::int32_t value);
    void ClearImage();
    std::int32_t ParseInput(const std::string& text);
    // Ends the step with a failure of the instruction at OpcodeAddress().
    [[noreturn]] void Fault(TFaultKind kind, const std::string& detail = {});

    std::int32_t Quotient(std::int32_t x, std::int32_t y)
    {
        if (y == 0)
            Fault(TFaultKind::DivisionByZero);
        if (x == std::numeric_limits<std::int32_t>::min() && y == -1)
            Fault(TFaultKind::DivisionOverflow);
        return x / y;
    }
    std::int32_t Remainder(std::int32_t x, std::int32_t y)
    {
        if (y == 0)
            Fault(TFaultKind::DivisionByZero);
        return y == -1 ? 0 : x % y; // x % -1 is 0, but -2147483648 % -1 traps in hardware
    }

    // What executing one byte did: took effect (with the step delay), nothing (no delay), or
    // ended the run.
    enum class TDone { Acted, Nothing, Ended };

    // Executes the byte fetched at `at` that the page value lets act, with every operand byte
    // inside the image, and sets `next` to the position the next step starts at. Kept inside
    // Run() so that the position and the operand bytes stay in processor registers.
    template <TMachineHooks Hooks>
    [[gnu::always_inline]] inline TDone Execute(Hooks& hooks, std::uint8_t opcode,
                                                std::int64_t at, std::int64_t& next);
    template <TOperation Operation, TForm Form>
    [[gnu::always_inline]] void Arithmetic(TOperands& in);
    // Div CC, iDiv RR and iDiv MM: cur := x div y.
    template <TForm Form>
    [[gnu::always_inline]] void Divide(TOperands& in)
    {
        const auto [x, y] = Values<Form>(in);
        std::int32_t& current = Cur(); // checked before the divisor
        current = Quotient(x, y);
    }
    // Jin (IfZero) and Jig: sets `next` to one of the two targets, both read before the test;
    // neither falls through. Setting `next` here, not returning the target, keeps the loop of
    // Run() as fast as with the code written out in each case.
    template <TForm Form, bool IfZero>
    [[gnu::always_inline]] void Branch(TOperands& in, std::int64_t& next)
    {
        const auto [first, second] = Values<Form>(in);
        const std::int32_t current = Cur();
        if constexpr (IfZero)
            next = current == 0 ? first : second;
        else
            next = current > 0 ? first : second;
    }
    // The next operand byte as a constant (C), an address (A), the register it names (R) or
    // the memory byte at it (M).
    [[gnu::always_inline]] static std::int32_t C(TOperands& in) { return in.Byte(); }
    [[gnu::always_inline]] static std::uint8_t A(TOperands& in) { return in.Byte(); }
    [[gnu::always_inline]] std::int32_t& R(TOperands& in) { return Register(in.Byte()); }
    [[gnu::always_inline]] std::int32_t M(TOperands& in) { return MemoryAt(in.Byte()); }
    // The two values of a CC, RR or MM form, in the order read (a braced list reads in order).
    template <TForm Form>
    [[gnu::always_inline]] std::pair<std::int32_t, std::int32_t> Values(TOperands& in)
    {
        static_assert(Form == TForm::CC || Form == TForm::RR || Form == TForm::MM);
        if constexpr (Form == TForm::CC)
            return {C(in), C(in)};
        else if constexpr (Form == TForm::RR)
            return {R(in), R(in)};
        else
            return {M(in), M(in)};
    }

    // The outcome of Cmp: 1, 0 or -1 as x is above, equal to or below y.
    static std::int32_t Compare(std::int32_t x, std::int32_t y)
    {
        return x > y ? 1 : x == y ? 0 : -1;
    }

    TMemoryStream& image_;
    TRegisterFile registers_ = StartRegisters;
    std::uint8_t current_ = StartCurrent;
    std::uint8_t page_ = 0;
    TMachineEnd end_ = TMachineEnd::None;
    std::int64_t opcodeAddress_ = -1;
};

template <TMachineHooks Hooks>
std::uint64_t TMachine::Run(Hooks& hooks, std::uint64_t maxSteps)
{
    end_ = TMachineEnd::None;
    std::uint64_t steps = 0;
    // The position is kept here from step to step and handed to the image as it changes.
    std::int64_t at = image_.Position();
    while (steps < maxSteps) {
        if constexpr (TBreakingHooks<Hooks>) {
            if (hooks.BreaksAt(at)) [[unlikely]] {
                image_.SetPosition(at);
                break;
            }
        }
        ++steps;
        // The size is taken anew each step: a write beyond the end grows the program too.
        // As an unsigned number a negative position lies beyond the end as well.
        const std::vector<std::uint8_t>& bytes = image_.Bytes();
        const std::uint64_t size = bytes.size();
        if (static_cast<std::uint64_t>(at) >= size) [[unlikely]] {
            end_ = TMachineEnd::EndOfImage;
            break;
        }
        const std::uint8_t opcode = bytes[static_cast<std::size_t>(at)];
        opcodeAddress_ = at;
        hooks.Position(at);

        std::int64_t next = at + 1;
        TDone done = TDone::Nothing; // a byte passed over while the page value is not 0
        if (Executes(opcode)) [[likely]] {
            // Away from the end one comparison covers the operand bytes of any instruction.
            const bool nearEnd = static_cast<std::uint64_t>(at) + LongestInstruction > size;
            if (nearEnd && static_cast<std::uint64_t>(next + OperandCounts[opcode]) > size) {
                image_.SetPosition(next);
                end_ = TMachineEnd::EndOfImage;
                break;
            }
            done = Execute(hooks, opcode, at, next);
        }
        image_.SetPosition(next);
        if (done == TDone::Ended)
            break;
        if (done == TDone::Acted)
            hooks.Delay();
        hooks.Registers(registers_, current_);
        hooks.Memory(image_);
        at = next;
    }
    return steps;
}

template <TMachine::TOperation Operation, TMachine::TForm Form>
inline void TMachine::Arithmetic(TOperands& in)
{
    // Every value is read before the current register is written.
    constexpr bool twoOperands = Form == TForm::CC || Form == TForm::RR || Form == TForm::MM;
    std::int32_t x = 0;
    std::int32_t y = 0;
    if constexpr (twoOperands) {
        std::tie(x, y) = Values<Form>(in);
    } else if constexpr (Form == TForm::C) {
        y = C(in);
    } else if constexpr (Form == TForm::R) {
        y = R(in);
    } else if constexpr (Form == TForm::M) {
        y = M(in);
    } else if constexpr (Form == TForm::One) {
        y = 1;
    } else {
        y = Cur();
    }
    std::int32_t& current = Cur();
    if constexpr (!twoOperands)
        x = current;
    // Register arithmetic wraps in 32 bits; going through unsigned keeps that free of overflow.
    const auto ux = static_cast<std::uint32_t>(x);
    const auto uy = static_cast<std::uint32_t>(y);
    if constexpr (Operation == TOperation::Add)
        current = static_cast<std::int32_t>(ux + uy);
    else if constexpr (Operation == TOperation::Sub)
        current = static_cast<std::int32_t>(ux - uy);
    else if constexpr (Operation == TOperation::Mul)
        current = static_cast<std::int32_t>(ux * uy);
    else if constexpr (Operation == TOperation::And)
        current = x & y;
    else if constexpr (Operation == TOperation::Or)
        current = x | y;
    else
        current = x ^ y;
}

template <TMachineHooks Hooks>
inline TMachine::TDone TMachine::Execute(Hooks& hooks, std::uint8_t opcode, std::int64_t at,
                                         std::int64_t& next)
{
    using O = TOperation;
    using F = TForm;
    TOperands in(image_.Bytes().data(), at);
    // One case per opcode, so that the opcode byte leads straight to its own code. Each case
    // reads every value it uses before it writes anything.
    switch (opcode) {
    case 0x00:
        end_ = TMachineEnd::StopByte;
        return TDone::Ended;
    case 0x01:
        if (Cur() != 170)
            return TDone::Nothing;
        ClearImage();
        end_ = TMachineEnd::Reset;
        return TDone::Ended;
    case 0x02: page_ = static_cast<std::uint8_t>(C(in)); break;
    case 0x03: page_ = static_cast<std::uint8_t>(R(in)); break;
    case 0x04: page_ = static_cast<std::uint8_t>(M(in)); break;

    case 0x10: Arithmetic<O::Add, F::CC>(in); break;
    case 0x11: Arithmetic<O::Add, F::C>(in); break;
    case 0x12: Arithmetic<O::Add, F::RR>(in); break;
    case 0x13: Arithmetic<O::Add, F::R>(in); break;
    case 0x14: Arithmetic<O::Add, F::MM>(in); break;
    case 0x15: Arithmetic<O::Add, F::M>(in); break;
    case 0x16: Arithmetic<O::Add, F::One>(in); break;
    case 0x20: Arithmetic<O::Sub, F::CC>(in); break;
    case 0x21: Arithmetic<O::Sub, F::C>(in); break;
    case 0x22: Arithmetic<O::Sub, F::RR>(in); break;
    case 0x23: Arithmetic<O::Sub, F::R>(in); break;
    case 0x24: Arithmetic<O::Sub, F::MM>(in); break;
    case 0x25: Arithmetic<O::Sub, F::M>(in); break;
    case 0x26: Arithmetic<O::Sub, F::One>(in); break;

    case 0x30: { // Div CR: cur := cur div c; R[r] := new cur mod c
        const std::int32_t c = C(in);
        std::int32_t& second = R(in);
        std::int32_t& current = Cur();
        const std::int32_t q = Quotient(current, c);
        const std::int32_t rest = Remainder(q, c);
        current = q;
        second = rest; // last, so that a second result into the current register wins
        break;
    }
    case 0x31: Divide<F::CC>(in); break;
    case 0x32: { // Div RR: cur := cur div R[r1]; R[r2] := new cur mod old R[r2]
        const std::int32_t divisor = R(in);
        std::int32_t& second = R(in);
        std::int32_t& current = Cur();
        const std::int32_t q = Quotient(current, divisor);
        const std::int32_t rest = Remainder(q, second);
        current = q;
        second = rest;
        break;
    }
    case 0x33: Divide<F::RR>(in); break;
    case 0x34: { // Div MM: cur := cur div m(a1); byte at a2 := new cur div m(a1)
        const std::int32_t divisor = M(in);
        const std::uint8_t address = A(in);
        std::int32_t& current = Cur();
        const std::int32_t q = Quotient(current, divisor);
        current = q;
        WriteMemory(address, Quotient(q, divisor));
        break;
    }
    case 0x35: Divide<F::MM>(in); break;

    case 0x40: Arithmetic<O::Mul, F::C>(in); break;
    case 0x41: Arithmetic<O::Mul, F::CC>(in); break;
    case 0x42: Arithmetic<O::Mul, F::R>(in); break;
    case 0x43: Arithmetic<O::Mul, F::RR>(in); break;
    case 0x44: Arithmetic<O::Mul, F::M>(in); break;
    case 0x45: Arithmetic<O::Mul, F::MM>(in); break;
    case 0x50: Arithmetic<O::And, F::CC>(in); break;
    case 0x51: Arithmetic<O::And, F::C>(in); break;
    case 0x52: Arithmetic<O::And, F::Self>(in); break;
    case 0x53: Arithmetic<O::And, F::RR>(in); break;
    case 0x54: Arithmetic<O::And, F::R>(in); break;
    case 0x55: Arithmetic<O::And, F::MM>(in); break;
    case 0x56: Arithmetic<O::And, F::M>(in); break;
    case 0x57: Arithmetic<O::Or, F::CC>(in); break;
    case 0x58: Arithmetic<O::Or, F::C>(in); break;
    case 0x59: Arithmetic<O::Or, F::Self>(in); break;
    case 0x5A: Arithmetic<O::Or, F::RR>(in); break;
    case 0x5B: Arithmetic<O::Or, F::R>(in); break;
    case 0x5C: Arithmetic<O::Or, F::MM>(in); break;
    case 0x5D: Arithmetic<O::Or, F::M>(in); break;

    // Not on a constant or a byte complements 8 bits, on a register all 32.
    case 0x60: { const std::int32_t c = C(in); Cur() = 255 - c; break; }
    case 0x61: { std::int32_t& current = Cur(); current = ~current; break; }
    case 0x62: { const std::int32_t r = R(in); Cur() = ~r; break; }
    case 0x63: { const std::int32_t m = M(in); Cur() = 255 - m; break; }
    case 0x64: Arithmetic<O::XOr, F::CC>(in); break;
    case 0x65: Arithmetic<O::XOr, F::C>(in); break;
    case 0x66: Arithmetic<O::XOr, F::Self>(in); break;
    case 0x67: Arithmetic<O::XOr, F::RR>(in); break;
    case 0x68: Arithmetic<O::XOr, F::R>(in); break;
    case 0x69: Arithmetic<O::XOr, F::MM>(in); break;
    case 0x6A: Arithmetic<O::XOr, F::M>(in); break;

    // Mov: the first operand is the destination.
    case 0x70: { std::int32_t& target = R(in); target = R(in); break; }
    case 0x71: { std::int32_t& target = R(in); target = M(in); break; }
    case 0x72: { const std::uint8_t a = A(in); WriteMemory(a, M(in)); break; }
    case 0x73: { const std::uint8_t a = A(in); WriteMemory(a, R(in)); break; }
    case 0x74: { const std::int32_t c = C(in); Cur() = c; break; }
    case 0x75: { const std::int32_t m = M(in); Cur() = m; break; }
    case 0x76: { const std::int32_t r = R(in); Cur() = r; break; }
    case 0x77: { std::int32_t& target = R(in); target = C(in); break; }
    case 0x78: { const std::uint8_t a = A(in); WriteMemory(a, C(in)); break; }

    // Xch: both old values are read before either is written.
    case 0x80: {
        const std::uint8_t a1 = A(in);
        const std::uint8_t a2 = A(in);
        const std::int32_t v1 = MemoryAt(a1);
        const std::int32_t v2 = MemoryAt(a2);
        WriteMemory(a1, v2);
        WriteMemory(a2, v1);
        break;
    }
    case 0x81: {
        std::int32_t& r1 = R(in);
        std::int32_t& r2 = R(in);
        std::swap(r1, r2);
        break;
    }
    case 0x82: {
        const std::uint8_t a = A(in);
        std::int32_t& current = Cur();
        const std::int32_t old = MemoryAt(a);
        WriteMemory(a, current);
        current = old;
        break;
    }
    case 0x83: { std::int32_t& other = R(in); std::swap(Cur(), other); break; }

    // Jumps: the target is the position the next step starts at.
    case 0x90: next = C(in); return TDone::Acted;
    case 0x91: next = R(in); return TDone::Acted;
    case 0x92: next = M(in); return TDone::Acted;
    case 0x93: Branch<F::CC, true>(in, next); return TDone::Acted;
    case 0x94: Branch<F::RR, true>(in, next); return TDone::Acted;
    case 0x95: Branch<F::MM, true>(in, next); return TDone::Acted;
    case 0x96: Branch<F::CC, false>(in, next); return TDone::Acted;
    case 0x97: Branch<F::RR, false>(in, next); return TDone::Acted;
    case 0x98: Branch<F::MM, false>(in, next); return TDone::Acted;

    // Cmp: the outcome is written after both values are read.
    case 0xA0: { const std::int32_t x = R(in); Cur() = Compare(x, C(in)); break; }
    case 0xA1: { const std::int32_t x = R(in); Cur() = Compare(x, R(in)); break; }
    case 0xA2: { const std::int32_t x = M(in); Cur() = Compare(x, M(in)); break; }
    case 0xA3: { const std::int32_t x = M(in); Cur() = Compare(x, C(in)); break; }
    case 0xA4: { const std::int32_t x = M(in); Cur() = Compare(x, R(in)); break; }
    case 0xA5: { const std::int32_t x = R(in); Cur() = Compare(x, M(in)); break; }

    // Set C takes a register number, the other forms a 0-based index; an index outside the
    // register file is allowed here and fails only when the register is used.
    case 0xF0: current_ = static_cast<std::uint8_t>(C(in) - 1); break;
    case 0xF1: current_ = static_cast<std::uint8_t>(R(in)); break;
    case 0xF2: current_ = static_cast<std::uint8_t>(M(in)); break;

    // Out sends the decimal text; In converts the entered text once it is back.
    case 0xF3: hooks.Output(std::to_string(C(in))); break;
    case 0xF4: hooks.Output(std::to_string(R(in))); break;
    case 0xF5: hooks.Output(std::to_string(M(in))); break;
    case 0xF6: { const std::uint8_t a = A(in); WriteMemory(a, ParseInput(hooks.Input())); break; }
    case 0xF7: {
        // The register is checked before the user is asked for a value it could not hold.
        std::int32_t& target = R(in);
        target = ParseInput(hooks.Input());
        break;
    }
    default: // a byte that is no instruction
        return TDone::Nothing;
    }
    next = in.Next();
    return TDone::Acted;
}
