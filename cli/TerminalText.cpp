#include "cli/TerminalText.h"

#include "translator/strutils2.h"

namespace {

bool InRange(unsigned char c, unsigned char low, unsigned char high)
{
    return c >= low && c <= high;
}

// Length of the well-formed UTF-8 sequence of two bytes or more that starts at text[at], or 0.
// Overlong forms, surrogates and code points above U+10FFFF are not well-formed.
std::size_t SequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t k) {
        return at + k < text.size() ? static_cast<unsigned char>(text[at + k]) : 0;
    };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xbf;
    if (InRange(lead, 0xc2, 0xdf)) {
        length = 2;
    } else if (InRange(lead, 0xe0, 0xef)) {
        length = 3;
        if (lead == 0xe0)
            secondLow = 0xa0;
        else if (lead == 0xed)
            secondHigh = 0x9f;
    } else if (InRange(lead, 0xf0, 0xf4)) {
        length = 4;
        if (lead == 0xf0)
            secondLow = 0x90;
        else if (lead == 0xf4)
            secondHigh = 0x8f;
    } else {
        return 0;
    }
    if (!InRange(byte(1), secondLow, secondHigh))
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (!InRange(byte(k), 0x80, 0xbf))
            return 0;
    return length;
}

void AppendEscaped(std::string& out, unsigned char c)
{
    out += "\\x";
    out += HexText(c, 2, false);
}

} // namespace

std::string EscapeForTerminal(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7f)
                AppendEscaped(out, c);
            else if (c == '\\')
                out += "\\\\";
            else
                out += static_cast<char>(c);
            ++at;
            continue;
        }
        const std::size_t length = SequenceLength(text, at);
        // U+0080 to U+009F are C2 80 to C2 9F: controls that some terminals obey.
        const bool isC1 = length == 2 && c == 0xc2 && static_cast<unsigned char>(text[at + 1]) < 0xa0;
        if (length == 0 || isC1) {
            const std::size_t bytes = isC1 ? 2 : 1;
            for (std::size_t k = 0; k < bytes; ++k)
                AppendEscaped(out, static_cast<unsigned char>(text[at + k]));
            at += bytes;
            continue;
        }
        out.append(text.substr(at, length));
        at += length;
    }
    return out;
}
