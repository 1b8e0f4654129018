#include "emulator/ListingLoader.h"

#include "translator/NumberText.h"

#include <string_view>

std::vector<std::uint8_t> LoadListing(const std::vector<std::string>& lines)
{
    std::vector<std::uint8_t> bytes;
    for (const std::string& line : lines) {
        const std::string_view text(line);
        for (std::size_t k = 0; k + 1 < text.size(); k += 2)
            bytes.push_back(static_cast<std::uint8_t>(HexToInt(text.substr(k, 2)) & 0xFF));
    }
    return bytes;
}
