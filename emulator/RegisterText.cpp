#include "emulator/RegisterText.h"

std::vector<std::string> RegisterLines(const TRegisterFile& registers, std::uint8_t current)
{
    std::vector<std::string> lines;
    lines.reserve(registers.size());
    for (std::size_t i = 0; i < registers.size(); ++i) {
        std::string line = "R" + std::to_string(i + 1) + ": " + std::to_string(registers[i]);
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
