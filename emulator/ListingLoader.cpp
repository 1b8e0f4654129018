#include "emulator/ListingLoader.h"

#include "translator/ListingLine.h"
#include "translator/NumberText.h"

#include <string_view>

std::vector<std::uint8_t> LoadListing(const std::vector<std::string>& lines)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(ListingBytes(lines));
    for (const std::string& line : lines) {
        const std::size_t count = ListingLineBytes(line.size());
        for (std::size_t k = 0; k < count; ++k)
            bytes.push_back(static_cast<std::uint8_t>(HexToInt(ListingByteText(line, k)) & 0xFF));
    }
    return bytes;
}
