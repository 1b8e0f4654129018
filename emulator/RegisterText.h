#pragma once
// The register list's text, shared by every view of the registers.

#include "WindowHooks.h"

#include <cstdint>
#include <string>
#include <vector>

// "R1: 0" ... "R15: -5", with " *" after the current register's line; an index of 15 or
// more marks no line.
std::vector<std::string> RegisterLines(const TRegisterFile& registers, std::uint8_t current);
