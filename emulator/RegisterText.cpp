#include "emulator/RegisterText.h"

namespace {

std::string ValueText(std::int32_t value, TRegisterBase base)
{
    const auto bits = static_cast<std::uint32_t>(value);
    switch (base) {
    case TRegisterBase::Hexadecimal: {
        std::string text(8, '0');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = "0123456789ABCDEF"[(bits >> (28 - 4 * i)) & 0xFu];
        return text;
    }
    case TRegisterBase::UnsignedDecimal:
        return std::to_string(bits);
    case TRegisterBase::SignedDecimal:
        break;
    }
    return std::to_string(value);
}

} // namespace

std::vector<std::string> RegisterLines(const TRegisterFile& registers, std::uint8_t current,
                                       TRegisterBase base)
{
    static_assert(sizeof(TRegisterFile::value_type) == 4, "the hexadecimal text has 8 digits");
    std::vector<std::string> lines;
    lines.reserve(registers.size());
    for (std::size_t i = 0; i < registers.size(); ++i) {
        std::string line = "R" + std::to_string(i + 1) + ": " + ValueText(registers[i], base);
        if (i == current)
            line += " *";
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string OutputLine(std::string_view valueText)
{
    std::string line = "Value: ";
    line += valueText;
    return line;
}
