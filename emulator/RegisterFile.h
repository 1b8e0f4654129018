#pragma once
// The machine's register file: R1 to R15 (index 0 to 14), signed 32-bit, wrapping on overflow.

#include <array>
#include <cstdint>

using TRegisterFile = std::array<std::int32_t, 15>;
