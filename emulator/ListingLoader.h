#pragma once
// Turns machine-code listing text back into the bytes of a memory image.

#include <cstdint>
#include <string>
#include <vector>

// Each line is read as pairs of characters by position (nothing skipped or validated); each
// pair goes through the hexadecimal text conversion and adds its low eight bits as one byte.
// An odd last character is ignored and pairs never span two lines.
std::vector<std::uint8_t> LoadListing(const std::vector<std::string>& lines);
