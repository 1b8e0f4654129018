#pragma once
// Small text helpers of the translator. They fold and split bytes only, so any text,
// including bytes of 0x80 and above and NULs, is safe to hand in.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Splits text at every character found in delimiters; empty items are dropped, the others
// keep their order and are not trimmed.
std::vector<std::string> SplitText(std::string_view text, std::string_view delimiters);

// Splits program or listing text into lines: "\n" and "\r\n" both end a line, and a final
// line break does not start another line. A lone "\r" stays in its line.
std::vector<std::string> SplitLines(std::string_view text);

// Lower-cases the letters A to Z and leaves every other byte as it is.
std::string AsciiLower(std::string_view text);

// True when both texts are equal once the letters A to Z are folded.
bool SameIgnoringAsciiCase(std::string_view a, std::string_view b);

// Writes value in hexadecimal with at least minDigits digits.
std::string HexText(std::uint64_t value, std::size_t minDigits, bool upperCase);

// Removes every character with code 32 or below from both ends.
std::string_view TrimControls(std::string_view text);
