#pragma once
// The machine-code encoding, written once: every instruction form with its opcode byte,
// mnemonic and operand pattern, in the order of the translator's instruction table. The
// instruction table, the machine's operand counts and the command-line trace's mnemonics are
// all derived from this list.
//
// In the summaries c is a constant byte, r a register byte (0 names the current register),
// a a memory address byte, m(a) the byte at a, cur the current register.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

struct TEncoding {
    std::uint8_t Opcode;
    std::string_view Mnemonic; // as stored, in mixed case ("iDiv"); matching ignores case
    // One letter per operand in the order written: C constant, R register, M memory address.
    // S marks the two forms that act on the current register and take no operand byte.
    std::string_view Pattern;
    std::string_view Summary; // what the instruction does, in one line

    // Operand bytes that follow the opcode: one per letter, none for S.
    constexpr int OperandCount() const
    {
        return Pattern == "S" ? 0 : static_cast<int>(Pattern.size());
    }
};

// Div and iDiv interleave: Div CR, Div CC, Div RR, iDiv RR, Div MM, iDiv MM.
inline constexpr std::array<TEncoding, 92> InstructionEncoding = {{
    {0, "Stop", "", "ends the run"},
    {1, "Reset", "", "when cur holds 170: every byte of the image := 0 and the run ends"},
    {2, "Page", "C", "page := c; while page is not 0 only Stop, Reset and Page act"},
    {3, "Page", "R", "page := lowest 8 bits of R[r]"},
    {4, "Page", "M", "page := m(a)"},
    {16, "Add", "CC", "cur := c1 + c2"},
    {17, "Add", "C", "cur := cur + c"},
    {18, "Add", "RR", "cur := R[r1] + R[r2]"},
    {19, "Add", "R", "cur := cur + R[r]"},
    {20, "Add", "MM", "cur := m(a1) + m(a2)"},
    {21, "Add", "M", "cur := cur + m(a)"},
    {22, "Inc", "", "cur := cur + 1"},
    {32, "Sub", "CC", "cur := c1 - c2"},
    {33, "Sub", "C", "cur := cur - c"},
    {34, "Sub", "RR", "cur := R[r1] - R[r2]"},
    {35, "Sub", "R", "cur := cur - R[r]"},
    {36, "Sub", "MM", "cur := m(a1) - m(a2)"},
    {37, "Sub", "M", "cur := cur - m(a)"},
    {38, "Dec", "", "cur := cur - 1"},
    {48, "Div", "CR", "cur := cur div c; R[r] := new cur mod c"},
    {49, "Div", "CC", "cur := c1 div c2"},
    {50, "Div", "RR", "cur := cur div R[r1]; R[r2] := new cur mod old R[r2]"},
    {51, "iDiv", "RR", "cur := R[r1] div R[r2]"},
    {52, "Div", "MM", "cur := cur div m(a1); byte at a2 := new cur div m(a1)"},
    {53, "iDiv", "MM", "cur := m(a1) div m(a2)"},
    {64, "Mul", "C", "cur := cur * c"},
    {65, "Mul", "CC", "cur := c1 * c2"},
    {66, "Mul", "R", "cur := cur * R[r]"},
    {67, "Mul", "RR", "cur := R[r1] * R[r2]"},
    {68, "Mul", "M", "cur := cur * m(a)"},
    {69, "Mul", "MM", "cur := m(a1) * m(a2)"},
    {80, "And", "CC", "cur := c1 and c2"},
    {81, "And", "C", "cur := cur and c"},
    {82, "And", "", "cur := cur and cur (no change)"},
    {83, "And", "RR", "cur := R[r1] and R[r2]"},
    {84, "And", "R", "cur := cur and R[r]"},
    {85, "And", "MM", "cur := m(a1) and m(a2)"},
    {86, "And", "M", "cur := cur and m(a)"},
    {87, "Or", "CC", "cur := c1 or c2"},
    {88, "Or", "C", "cur := cur or c"},
    {89, "Or", "", "cur := cur or cur (no change)"},
    {90, "Or", "RR", "cur := R[r1] or R[r2]"},
    {91, "Or", "R", "cur := cur or R[r]"},
    {92, "Or", "MM", "cur := m(a1) or m(a2)"},
    {93, "Or", "M", "cur := cur or m(a)"},
    {96, "Not", "C", "cur := 255 - c"},
    {97, "Not", "S", "cur := bitwise complement of cur"},
    {98, "Not", "R", "cur := bitwise complement of R[r]"},
    {99, "Not", "M", "cur := 255 - m(a)"},
    {100, "XOr", "CC", "cur := c1 xor c2"},
    {101, "XOr", "C", "cur := cur xor c"},
    {102, "XOr", "S", "cur := cur xor cur, that is 0"},
    {103, "XOr", "RR", "cur := R[r1] xor R[r2]"},
    {104, "XOr", "R", "cur := cur xor R[r]"},
    {105, "XOr", "MM", "cur := m(a1) xor m(a2)"},
    {106, "XOr", "M", "cur := cur xor m(a)"},
    {112, "Mov", "RR", "R[r1] := R[r2]"},
    {113, "Mov", "RM", "R[r] := m(a)"},
    {114, "Mov", "MM", "byte at a1 := m(a2)"},
    {115, "Mov", "MR", "byte at a := lowest 8 bits of R[r]"},
    {116, "Mov", "C", "cur := c"},
    {117, "Mov", "M", "cur := m(a)"},
    {118, "Mov", "R", "cur := R[r]"},
    {119, "Mov", "RC", "R[r] := c"},
    {120, "Mov", "MC", "byte at a := c"},
    {128, "Xch", "MM", "exchange the bytes at a1 and a2"},
    {129, "Xch", "RR", "exchange R[r1] and R[r2]"},
    {130, "Xch", "M", "byte at a := lowest 8 bits of cur; cur := old m(a)"},
    {131, "Xch", "R", "exchange cur and R[r]"},
    {240, "Set", "C", "current register := Rc"},
    {241, "Set", "R", "current register := R(v+1), v the lowest 8 bits of R[r]"},
    {242, "Set", "M", "current register := R(m(a)+1)"},
    {243, "Out", "C", "output c"},
    {244, "Out", "R", "output R[r]"},
    {245, "Out", "M", "output m(a)"},
    {246, "In", "M", "byte at a := lowest 8 bits of the entered integer"},
    {247, "In", "R", "R[r] := the entered integer"},
    {144, "Jmp", "C", "jump to c"},
    {145, "Jmp", "R", "jump to R[r]"},
    {146, "Jmp", "M", "jump to m(a)"},
    {147, "Jin", "CC", "jump to c1 if cur = 0, else to c2"},
    {148, "Jin", "RR", "jump to R[r1] if cur = 0, else to R[r2]"},
    {149, "Jin", "MM", "jump to m(a1) if cur = 0, else to m(a2)"},
    {150, "Jig", "CC", "jump to c1 if cur > 0, else to c2"},
    {151, "Jig", "RR", "jump to R[r1] if cur > 0, else to R[r2]"},
    {152, "Jig", "MM", "jump to m(a1) if cur > 0, else to m(a2)"},
    {160, "Cmp", "RC", "cur := 1, 0 or -1 as R[r] is above, equal to or below c"},
    {161, "Cmp", "RR", "cur := 1, 0 or -1 as R[r1] is above, equal to or below R[r2]"},
    {162, "Cmp", "MM", "cur := 1, 0 or -1 as m(a1) is above, equal to or below m(a2)"},
    {163, "Cmp", "MC", "cur := 1, 0 or -1 as m(a) is above, equal to or below c"},
    {164, "Cmp", "MR", "cur := 1, 0 or -1 as m(a) is above, equal to or below R[r]"},
    {165, "Cmp", "RM", "cur := 1, 0 or -1 as R[r] is above, equal to or below m(a)"},
}};

namespace encoding_detail {

// Row index by opcode, -1 for a byte of no form. A second row with the same opcode stops the
// compilation: no two forms share an opcode.
constexpr std::array<std::int16_t, 256> MakeRowIndex()
{
    std::array<std::int16_t, 256> index{};
    index.fill(-1);
    for (std::size_t i = 0; i < InstructionEncoding.size(); ++i) {
        std::int16_t& slot = index[InstructionEncoding[i].Opcode];
        if (slot >= 0)
            throw "two forms share an opcode";
        slot = static_cast<std::int16_t>(i);
    }
    return index;
}

inline constexpr std::array<std::int16_t, 256> RowIndex = MakeRowIndex();

constexpr std::array<std::int8_t, 256> MakeOperandCounts()
{
    std::array<std::int8_t, 256> counts{};
    counts.fill(-1);
    for (const TEncoding& row : InstructionEncoding)
        counts[row.Opcode] = static_cast<std::int8_t>(row.OperandCount());
    return counts;
}

} // namespace encoding_detail

// The form with this opcode, or nullptr for a byte that is no instruction.
constexpr const TEncoding* EncodingOf(std::uint8_t opcode)
{
    const int index = encoding_detail::RowIndex[opcode];
    return index < 0 ? nullptr : &InstructionEncoding[static_cast<std::size_t>(index)];
}

// Operand bytes after each opcode, -1 for a byte that is no instruction.
inline constexpr std::array<std::int8_t, 256> OperandCounts = encoding_detail::MakeOperandCounts();

// The most bytes one instruction takes, its opcode byte included.
inline constexpr int LongestInstruction = [] {
    int longest = 0;
    for (const TEncoding& row : InstructionEncoding)
        longest = row.OperandCount() + 1 > longest ? row.OperandCount() + 1 : longest;
    return longest;
}();
