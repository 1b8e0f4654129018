#include "Machine.h"

#include "NumberText.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// Register arithmetic wraps in 32 bits; going through unsigned keeps that free of overflow.
std::int32_t Wrap(std::uint32_t value) { return static_cast<std::int32_t>(value); }
std::uint32_t U(std::int32_t value) { return static_cast<std::uint32_t>(value); }

enum class TOperation { Add, Sub, Mul, And, Or, XOr };

// Where the two values of an arithmetic instruction come from: two operands, the current
// register and one operand, the current register and 1 (Inc, Dec), or the current register
// with itself (And, Or and XOr without operands).
enum class TForm { CC, C, RR, R, MM, M, One, Self };

struct TArithmetic {
    TOperation operation;
    TForm form;
};

// Opcodes 0x10 to 0x6A except Div, iDiv and Not, in opcode order; the gaps are never reached.
constexpr std::array<TArithmetic, 0x6B - 0x10> MakeArithmeticTable()
{
    std::array<TArithmetic, 0x6B - 0x10> table{};
    const auto row = [&table](int first, TOperation operation, std::initializer_list<TForm> forms) {
        for (const TForm form : forms)
            table[static_cast<std::size_t>(first++ - 0x10)] = {operation, form};
    };
    using F = TForm;
    row(0x10, TOperation::Add, {F::CC, F::C, F::RR, F::R, F::MM, F::M, F::One});
    row(0x20, TOperation::Sub, {F::CC, F::C, F::RR, F::R, F::MM, F::M, F::One});
    row(0x40, TOperation::Mul, {F::C, F::CC, F::R, F::RR, F::M, F::MM});
    row(0x50, TOperation::And, {F::CC, F::C, F::Self, F::RR, F::R, F::MM, F::M});
    row(0x57, TOperation::Or, {F::CC, F::C, F::Self, F::RR, F::R, F::MM, F::M});
    row(0x64, TOperation::XOr, {F::CC, F::C, F::Self, F::RR, F::R, F::MM, F::M});
    return table;
}

constexpr auto ArithmeticTable = MakeArithmeticTable();

std::int32_t Apply(TOperation operation, std::int32_t x, std::int32_t y)
{
    switch (operation) {
    case TOperation::Add:
        return Wrap(U(x) + U(y));
    case TOperation::Sub:
        return Wrap(U(x) - U(y));
    case TOperation::Mul:
        return Wrap(U(x) * U(y));
    case TOperation::And:
        return x & y;
    case TOperation::Or:
        return x | y;
    case TOperation::XOr:
        return x ^ y;
    }
    return 0;
}

std::int32_t Compare(std::int32_t x, std::int32_t y) { return x > y ? 1 : x == y ? 0 : -1; }

} // namespace

TMachine::TMachine(TMemoryStream& image) : image_(image) {}

void TMachine::Reset()
{
    registers_.fill(0);
    current_ = 0;
    page_ = 0;
    opcodeAddress_ = -1;
    opcode_ = 0;
    image_.SetPosition(0);
}

void TMachine::WriteMemory(std::uint8_t address, std::int32_t value)
{
    std::vector<std::uint8_t>& bytes = image_.Bytes();
    if (address >= bytes.size())
        bytes.resize(std::size_t{address} + 1, 0);
    bytes[address] = static_cast<std::uint8_t>(value);
}

void TMachine::ClearImage()
{
    std::vector<std::uint8_t>& bytes = image_.Bytes();
    std::fill(bytes.begin(), bytes.end(), std::uint8_t{0});
}

std::int32_t TMachine::ParseInput(const std::string& text) const
{
    try {
        return StrToInt(text);
    } catch (const EConvertError& error) {
        Fault(TFaultKind::BadInput, error.what());
    }
}

void TMachine::Fault(TFaultKind kind, const std::string& detail) const
{
    throw EMachineFault(kind, opcodeAddress_, detail);
}

void TMachine::Execute()
{
    switch (opcode_ >> 4) {
    case 0x3:
        ExecuteDivision();
        break;
    case 0x6:
        if (opcode_ <= 0x63)
            ExecuteNot();
        else
            ExecuteArithmetic();
        break;
    case 0x7:
        ExecuteMove();
        break;
    case 0x8:
        ExecuteExchange();
        break;
    case 0x9:
        ExecuteJump();
        break;
    case 0xA:
        ExecuteCompare();
        break;
    case 0xF:
        ExecuteSet();
        break;
    default:
        ExecuteArithmetic();
        break;
    }
}

void TMachine::ExecuteArithmetic()
{
    const TArithmetic entry = ArithmeticTable[opcode_ - 0x10u];
    std::int32_t x = 0;
    std::int32_t y = 0;
    switch (entry.form) {
    case TForm::CC:
        x = C();
        y = C();
        break;
    case TForm::C:
        y = C();
        break;
    case TForm::RR:
        x = R();
        y = R();
        break;
    case TForm::R:
        y = R();
        break;
    case TForm::MM:
        x = M();
        y = M();
        break;
    case TForm::M:
        y = M();
        break;
    case TForm::One:
        y = 1;
        break;
    case TForm::Self:
        y = Cur();
        break;
    }
    std::int32_t& current = Cur();
    const bool twoOperands = entry.form == TForm::CC || entry.form == TForm::RR || entry.form == TForm::MM;
    if (!twoOperands)
        x = current;
    current = Apply(entry.operation, x, y);
}

void TMachine::ExecuteDivision()
{
    // The divisions check every divisor before writing anything, so a failing one writes
    // neither result.
    const auto quotient = [this](std::int32_t x, std::int32_t y) {
        if (y == 0)
            Fault(TFaultKind::DivisionByZero);
        if (x == std::numeric_limits<std::int32_t>::min() && y == -1)
            Fault(TFaultKind::DivisionOverflow);
        return x / y;
    };
    const auto remainder = [this](std::int32_t x, std::int32_t y) {
        if (y == 0)
            Fault(TFaultKind::DivisionByZero);
        return y == -1 ? 0 : x % y; // x % -1 is 0, but -2147483648 % -1 traps in hardware
    };
    switch (opcode_) {
    case 0x30: { // Div CR: cur := cur div c; R[r] := new cur mod c
        const std::int32_t c = C();
        std::int32_t& second = R();
        std::int32_t& current = Cur();
        const std::int32_t q = quotient(current, c);
        const std::int32_t rest = remainder(q, c);
        current = q;
        second = rest;
        break;
    }
    case 0x31: { // Div CC
        const std::int32_t c1 = C();
        const std::int32_t c2 = C();
        std::int32_t& current = Cur();
        current = quotient(c1, c2);
        break;
    }
    case 0x32: { // Div RR: cur := cur div R[r1]; R[r2] := new cur mod old R[r2]
        const std::int32_t divisor = R();
        std::int32_t& second = R();
        std::int32_t& current = Cur();
        const std::int32_t q = quotient(current, divisor);
        const std::int32_t rest = remainder(q, second);
        current = q;
        second = rest;
        break;
    }
    case 0x33: { // iDiv RR
        const std::int32_t x = R();
        const std::int32_t y = R();
        std::int32_t& current = Cur();
        current = quotient(x, y);
        break;
    }
    case 0x34: { // Div MM: cur := cur div m(a1); byte at a2 := new cur div m(a1)
        const std::int32_t divisor = M();
        const std::uint8_t address = A();
        std::int32_t& current = Cur();
        const std::int32_t q = quotient(current, divisor);
        current = q;
        WriteMemory(address, quotient(q, divisor));
        break;
    }
    default: { // iDiv MM
        const std::int32_t x = M();
        const std::int32_t y = M();
        std::int32_t& current = Cur();
        current = quotient(x, y);
        break;
    }
    }
}

void TMachine::ExecuteNot()
{
    std::int32_t value = 0;
    switch (opcode_) {
    case 0x60:
        value = 255 - C();
        break;
    case 0x61:
        value = ~Cur();
        break;
    case 0x62:
        value = ~R();
        break;
    default:
        value = 255 - M();
        break;
    }
    Cur() = value;
}

void TMachine::ExecuteMove()
{
    switch (opcode_) {
    case 0x70: { // R[r1] := R[r2]
        std::int32_t& target = R();
        target = R();
        break;
    }
    case 0x71: { // R[r] := m(a)
        std::int32_t& target = R();
        target = M();
        break;
    }
    case 0x72: { // byte at a1 := m(a2)
        const std::uint8_t address = A();
        WriteMemory(address, M());
        break;
    }
    case 0x73: { // byte at a := R[r]
        const std::uint8_t address = A();
        WriteMemory(address, R());
        break;
    }
    case 0x74: {
        const std::int32_t value = C();
        Cur() = value;
        break;
    }
    case 0x75: {
        const std::int32_t value = M();
        Cur() = value;
        break;
    }
    case 0x76: {
        const std::int32_t value = R();
        Cur() = value;
        break;
    }
    case 0x77: { // R[r] := c
        std::int32_t& target = R();
        target = C();
        break;
    }
    default: { // byte at a := c
        const std::uint8_t address = A();
        WriteMemory(address, C());
        break;
    }
    }
}

void TMachine::ExecuteExchange()
{
    switch (opcode_) {
    case 0x80: {
        const std::uint8_t a1 = A();
        const std::uint8_t a2 = A();
        const std::int32_t v1 = MemoryAt(a1);
        const std::int32_t v2 = MemoryAt(a2);
        WriteMemory(a1, v2);
        WriteMemory(a2, v1);
        break;
    }
    case 0x81: {
        std::int32_t& r1 = R();
        std::int32_t& r2 = R();
        std::swap(r1, r2);
        break;
    }
    case 0x82: {
        const std::uint8_t address = A();
        std::int32_t& current = Cur();
        const std::int32_t old = MemoryAt(address);
        WriteMemory(address, current);
        current = old;
        break;
    }
    default: {
        std::int32_t& other = R();
        std::swap(Cur(), other);
        break;
    }
    }
}

void TMachine::ExecuteJump()
{
    std::int32_t target = 0;
    if (opcode_ <= 0x92) {
        target = opcode_ == 0x90 ? C() : opcode_ == 0x91 ? R() : M();
    } else {
        // Both targets are read before the test; there is no falling through.
        std::int32_t first = 0;
        std::int32_t second = 0;
        switch ((opcode_ - 0x93) % 3) {
        case 0:
            first = C();
            second = C();
            break;
        case 1:
            first = R();
            second = R();
            break;
        default:
            first = M();
            second = M();
            break;
        }
        const std::int32_t current = Cur();
        const bool condition = opcode_ <= 0x95 ? current == 0 : current > 0;
        target = condition ? first : second;
    }
    image_.SetPosition(target);
}

void TMachine::ExecuteCompare()
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    switch (opcode_) {
    case 0xA0:
        x = R();
        y = C();
        break;
    case 0xA1:
        x = R();
        y = R();
        break;
    case 0xA2:
        x = M();
        y = M();
        break;
    case 0xA3:
        x = M();
        y = C();
        break;
    case 0xA4:
        x = M();
        y = R();
        break;
    default:
        x = R();
        y = M();
        break;
    }
    Cur() = Compare(x, y);
}

void TMachine::ExecuteSet()
{
    // Set C takes a register number, the other forms a 0-based index; an index outside the
    // register file is allowed here and fails only when the register is used.
    switch (opcode_) {
    case 0xF0:
        current_ = static_cast<std::uint8_t>(C() - 1);
        break;
    case 0xF1:
        current_ = static_cast<std::uint8_t>(R());
        break;
    default:
        current_ = static_cast<std::uint8_t>(M());
        break;
    }
}
