#include "translator/Operands.h"

#include "translator/NumberText.h"
#include "translator/strutils2.h"

namespace {

bool IsLowerLetter(char c)
{
    return c >= 'a' && c <= 'z';
}

bool IsNonZeroHexDigit(char c)
{
    return (c >= '1' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// HexToInt counts every other character as the digit 0 and wraps in 32 bits, so a long text
// can wrap into 0 to 255; the true value fits only when at most two digits follow the
// leading zeros.
bool HexFitsInOneByte(std::string_view digits)
{
    std::size_t first = 0;
    while (first < digits.size() && !IsNonZeroHexDigit(digits[first]))
        ++first;
    return digits.size() - first <= 2;
}

} // namespace

TOperand ClassifyOperand(std::string_view written)
{
    TOperand operand;
    operand.Text = AsciiLower(written);
    const std::string& lower = operand.Text;
    if (lower.empty())
        return operand;

    const char first = lower.front();
    if (first == '$') {
        operand.Letter = 'R';
    } else if (first == '&') {
        operand.Letter = 'M';
    } else if (first == ':') {
        operand.IsReference = true;
        operand.Name = lower;
    } else if (first == '[') {
        operand.IsReference = true;
        // The last character goes whatever it is, so "[count" names "coun".
        operand.Name = lower.size() >= 2 ? lower.substr(1, lower.size() - 2) : std::string();
    } else if (IsLowerLetter(first) && lower.back() != 'h') {
        operand.Letter = 'M';
        operand.IsReference = true;
        operand.Name = lower;
    }
    // A letter followed by a final "h" is a hexadecimal constant and keeps its text.
    if (operand.IsReference)
        operand.Text = std::string(kPlaceholder);
    return operand;
}

TOperandBytes ConvertOperandBytes(std::string_view text)
{
    if (text.empty())
        return {};
    std::string_view digits = text;
    if (digits.front() == '$' || digits.front() == '&' || digits.front() == ':')
        digits.remove_prefix(1);
    if (digits.empty())
        throw EConvertError(text);

    TOperandBytes bytes;
    std::uint32_t value = 0;
    if (digits.back() == 'h') {
        digits.remove_suffix(1);
        value = static_cast<std::uint32_t>(HexToInt(digits));
        bytes.FitsInOneByte = HexFitsInOneByte(digits);
    } else {
        const std::int32_t decimal = StrToInt(digits);
        value = static_cast<std::uint32_t>(decimal);
        bytes.FitsInOneByte = decimal >= 0 && decimal <= 255;
    }
    bytes.ByteText = HexText(value, 2, true);
    return bytes;
}

std::string ConvertOperand(std::string_view text)
{
    return ConvertOperandBytes(text).ByteText;
}
