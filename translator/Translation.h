#pragma once
// Translation of a program text into the machine-code listing: one line of hexadecimal
// byte text per instruction line and data definition, with the addresses of code labels and
// data names filled in after the last line.

#include "InstructionTable.h"
#include "NumberText.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Raised when a byte the translation would emit lies outside 0 to 255; what() names the text
// as written, e.g. "'300' does not fit in one byte (0 to 255)".
class ERangeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A code label or data name with the byte address it stands for.
struct TJumpLabel {
    std::string Name;
    std::int64_t Address;
};

// An operand byte that receives the address of Name: listing line Line, characters from
// Offset. Written is the operand as the program wrote it, for messages.
struct TVar {
    std::string Name;
    std::int64_t Position;
    std::size_t Line;
    std::size_t Offset;
    std::string Written;
};

// Translates the program lines into listing lines. Throws EConvertError for a number that
// is not an integer (ending the translation at that line), and ERangeError when a value or
// a referenced name's address does not fit in one byte; it then returns nothing.
std::vector<std::string> Translate(const TInstructionTable& table,
                                   const std::vector<std::string>& program);
