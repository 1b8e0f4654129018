#pragma once
// The two number readers shared by the translator, the machine's In instruction,
// the input dialog and the listing loading.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Raised when a text is not an integer; what() is "'<text>' is not a valid integer value".
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(std::string_view text);
};

// Decimal text conversion: leading space characters, an optional "+" or "-", then decimal
// digits (magnitude at most 2147483647, or 2147483648 after "-"), or after "$", "x", "X", "0x"
// or "0X" hexadecimal digits read as a 32-bit pattern; nothing may follow the digits.
// Throws EConvertError for anything else, the empty text included.
std::int32_t StrToInt(std::string_view text);

// Like StrToInt, but reports failure by returning false instead of throwing.
bool TryStrToInt(std::string_view text, std::int32_t& value);

// Hexadecimal text conversion: digits of either case, wrapping in 32 bits. Never fails;
// a character that is not a hexadecimal digit counts as the digit 0.
std::int32_t HexToInt(std::string_view text);
