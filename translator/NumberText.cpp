#include "translator/NumberText.h"

namespace {

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads one or more hexadecimal digits that must fill the rest of the text and fit in 32 bits.
bool ReadHexDigits(std::string_view digits, std::uint32_t& value)
{
    if (digits.empty())
        return false;
    std::uint64_t v = 0;
    for (char c : digits) {
        const int d = HexDigitValue(c);
        if (d < 0)
            return false;
        v = v * 16 + static_cast<std::uint64_t>(d);
        if (v > 0xFFFFFFFFu)
            return false;
    }
    value = static_cast<std::uint32_t>(v);
    return true;
}

// Reads one or more decimal digits that must fill the rest of the text; the magnitude may
// reach 2^31 so that the caller can admit -2147483648.
bool ReadDecimalDigits(std::string_view digits, std::uint32_t& value)
{
    if (digits.empty())
        return false;
    std::uint64_t v = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
        if (v > 0x80000000u)
            return false;
    }
    value = static_cast<std::uint32_t>(v);
    return true;
}

} // namespace

EConvertError::EConvertError(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid integer value")
{
}

bool TryStrToInt(std::string_view text, std::int32_t& value)
{
    std::string_view rest = text;
    while (!rest.empty() && rest.front() == ' ')
        rest.remove_prefix(1);

    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }

    std::uint32_t magnitude = 0;
    if (!rest.empty() && (rest.front() == '$' || rest.front() == 'x' || rest.front() == 'X')) {
        if (!ReadHexDigits(rest.substr(1), magnitude))
            return false;
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        if (!ReadHexDigits(rest.substr(2), magnitude))
            return false;
    } else {
        if (!ReadDecimalDigits(rest, magnitude))
            return false;
        if (magnitude > 0x7FFFFFFFu && !negative)
            return false;
    }

    // Negation works on the 32-bit pattern, so "-$FFFFFFFF" is 1 and "-2147483648" is exact.
    const std::uint32_t bits = negative ? 0u - magnitude : magnitude;
    value = static_cast<std::int32_t>(bits);
    return true;
}

std::int32_t StrToInt(std::string_view text)
{
    std::int32_t value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(text);
    return value;
}

std::int32_t HexToInt(std::string_view text)
{
    std::uint32_t value = 0;
    for (char c : text) {
        const int d = HexDigitValue(c);
        value = value * 16u + static_cast<std::uint32_t>(d < 0 ? 0 : d);
    }
    return static_cast<std::int32_t>(value);
}
