#pragma once
// The text of the register list and of the output lines, shared by every view of a run.

#include "emulator/RegisterFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// How a register line writes its value. Signed decimal is the list's own format, and the
// only one mirelo-cli prints.
enum class TRegisterBase {
    SignedDecimal,   // "R1: -1"
    Hexadecimal,     // "R1: FFFFFFFF": all 32 bits, eight upper-case digits
    UnsignedDecimal, // "R1: 4294967295": the 32 bits read without a sign
};

// "R1: 0" ... "R15: -5", with " *" after the current register's line; an index of 15 or
// more marks no line.
std::vector<std::string> RegisterLines(const TRegisterFile& registers, std::uint8_t current,
                                       TRegisterBase base = TRegisterBase::SignedDecimal);

// The output pane's line for one value sent out: "Value: " followed by its decimal text.
std::string OutputLine(std::string_view valueText);
