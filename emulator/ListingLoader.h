#pragma once
// Turns machine-code listing text back into the bytes of a memory image.

#include <cstdint>
#include <string>
#include <vector>

// Each line gives its bytes as translator/ListingLine.h pairs its characters (nothing skipped
// or validated); each pair goes through the hexadecimal text conversion and adds its low eight
// bits as one byte.
std::vector<std::uint8_t> LoadListing(const std::vector<std::string>& lines);
