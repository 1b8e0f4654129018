#pragma once
// Turning a fuzzer's raw bytes into the inputs the product reads.

#include <cstddef>
#include <cstdint>
#include <string_view>

inline std::string_view AsText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}
