#include "emulator/RegisterText.h"

#include "translator/strutils2.h"

namespace {

std::string ValueText(std::int32_t value, TRegisterBase base)
{
    const auto bits = static_cast<std::uint32_t>(value);
    switch (base) {
    case TRegisterBase::Hexadecimal:
        return HexText(bits, 8, true);
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
