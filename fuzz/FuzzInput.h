#pragma once
// Turning a fuzzer's raw bytes into the inputs the product reads.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline std::string_view AsText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Lines as an editor hands them over: split at '\n', a final '\r' kept (the product must cope).
inline std::vector<std::string> AsLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            if (start < text.size())
                lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
