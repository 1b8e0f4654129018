#pragma once
// How the translator reads one written operand: its kind letter, the text that stands for
// its byte, and whether its byte waits for the address of a name.

#include <cstdint>
#include <string>
#include <string_view>

// Byte text written for an operand whose name's address is filled in after the last line.
inline constexpr std::string_view kPlaceholder = "00";

struct TOperand {
    char Letter = 'C';          // 'C' constant, 'R' register, 'M' memory address
    std::string Text;           // what the conversion reads: the lower-cased operand or kPlaceholder
    bool IsReference = false;   // the byte is the address of the name below
    std::string Name;           // lower-cased name the reference resolves
};

// Classifies one operand as written (already trimmed as a whole by the caller).
TOperand ClassifyOperand(std::string_view written);

struct TOperandBytes {
    std::string ByteText;       // upper-case hexadecimal, at least two digits; "" for no operand
    bool FitsInOneByte = true;  // the value lies in 0 to 255, so ByteText is exactly one byte
};

// Converts an operand text: an optional "$", "&" or ":" prefix, then decimal or, with a
// final lower-case "h", hexadecimal digits. Throws EConvertError when the digits are not an
// integer, and for a lone prefix, naming the text handed in.
TOperandBytes ConvertOperandBytes(std::string_view text);

// The byte text alone, as the listing shows it.
std::string ConvertOperand(std::string_view text);
