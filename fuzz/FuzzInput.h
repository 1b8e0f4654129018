#pragma once
// Turning a fuzzer's raw bytes into the inputs the product reads, and reporting a broken
// property.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

inline std::string_view AsText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// Prints what broke, with the text that shows it when there is one, and stops the fuzzer so
// that it keeps the input.
[[noreturn]] inline void Fail(const char* what, std::string_view shown = {})
{
    if (shown.empty())
        std::fprintf(stderr, "%s\n", what);
    else
        std::fprintf(stderr, "%s: '%.*s'\n", what, static_cast<int>(shown.size()), shown.data());
    std::abort();
}
