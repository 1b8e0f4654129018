#include "emulator/Machine.h"

#include "translator/NumberText.h"

#include <algorithm>

TMachine::TMachine(TMemoryStream& image) : image_(image) {}

void TMachine::Reset()
{
    registers_ = StartRegisters;
    current_ = StartCurrent;
    page_ = 0;
    end_ = TMachineEnd::None;
    opcodeAddress_ = -1;
    image_.SetPosition(0);
}

void TMachine::WriteBeyondEnd(std::uint8_t address, std::int32_t value)
{
    std::vector<std::uint8_t>& bytes = image_.Bytes();
    bytes.resize(std::size_t{address} + 1, 0);
    bytes[address] = static_cast<std::uint8_t>(value);
}

void TMachine::ClearImage()
{
    std::vector<std::uint8_t>& bytes = image_.Bytes();
    std::fill(bytes.begin(), bytes.end(), std::uint8_t{0});
}

std::int32_t TMachine::ParseInput(const std::string& text)
{
    try {
        return StrToInt(text);
    } catch (const EConvertError& error) {
        Fault(TFaultKind::BadInput, error.what());
    }
}

void TMachine::Fault(TFaultKind kind, const std::string& detail)
{
    // Run() hands the position to the image only when a step completes.
    image_.SetPosition(opcodeAddress_ + 1);
    throw EMachineFault(kind, opcodeAddress_, detail);
}
