#pragma once
// How a line of listing text gives bytes: two characters to a byte, paired by position from
// the line's start, whatever the characters are (blanks and non-digits pair up like digits).
// An odd last character gives nothing and pairs never span two lines, so a line's bytes follow
// from its length alone and its first byte lies just past the bytes of the lines before it.
// The location counter, the loading of a listing into memory, the listing pane's addresses
// and the byte counts the window shows all read listing lines through these functions.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

inline constexpr std::size_t kListingCharactersPerByte = 2;

// Bytes a listing line of this many characters gives.
constexpr std::size_t ListingLineBytes(std::size_t characters)
{
    return characters / kListingCharactersPerByte;
}

// The characters of the line's byte with this index, counted from 0; the index must be below
// ListingLineBytes(line.size()).
constexpr std::string_view ListingByteText(std::string_view line, std::size_t byte)
{
    return line.substr(byte * kListingCharactersPerByte, kListingCharactersPerByte);
}

// Bytes these lines give together. For the lines before a line, the address of that line's
// first byte.
inline std::size_t ListingBytes(std::span<const std::string> lines)
{
    std::size_t bytes = 0;
    for (const std::string& line : lines)
        bytes += ListingLineBytes(line.size());
    return bytes;
}
