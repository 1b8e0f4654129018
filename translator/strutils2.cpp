#include "translator/strutils2.h"

namespace {

char AsciiLowerChar(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares as unsigned so that bytes of 0x80 and above never count as blanks.
bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

} // namespace

std::vector<std::string> SplitText(std::string_view text, std::string_view delimiters)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (delimiters.find(text[i]) == std::string_view::npos)
            continue;
        if (i > start)
            items.emplace_back(text.substr(start, i - start));
        start = i + 1;
    }
    if (start < text.size())
        items.emplace_back(text.substr(start));
    return items;
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos)
            end = text.size();
        else if (end > start && text[end - 1] == '\r')
            --end;
        lines.emplace_back(text.substr(start, end - start));
        start = next;
    }
    return lines;
}

std::string AsciiLower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = AsciiLowerChar(c);
    return lower;
}

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLowerChar(a[i]) != AsciiLowerChar(b[i]))
            return false;
    }
    return true;
}

std::string HexText(std::uint64_t value, std::size_t minDigits, bool upperCase)
{
    const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string reversed;
    do {
        reversed.push_back(digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    while (reversed.size() < minDigits)
        reversed.push_back('0');
    return std::string(reversed.rbegin(), reversed.rend());
}

std::string_view TrimControls(std::string_view text)
{
    while (!text.empty() && IsBlankOrControl(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankOrControl(text.back()))
        text.remove_suffix(1);
    return text;
}
