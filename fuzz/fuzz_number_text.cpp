// The number readers against a plain reference reading: TryStrToInt and StrToInt agree with it
// and with each other, StrToInt fails only with EConvertError and its message, and HexToInt
// never fails and wraps in 32 bits.

#include "FuzzInput.h"
#include "translator/NumberText.h"

#include <optional>

namespace {

int DigitValue(char c, int base)
{
    int d = -1;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'a' && c <= 'z')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'Z')
        d = c - 'A' + 10;
    return d < base ? d : -1;
}

// Reads digits with a wide accumulator, giving up once far beyond any 32-bit value.
std::optional<__int128> Digits(std::string_view text, int base)
{
    if (text.empty())
        return std::nullopt;
    __int128 v = 0;
    for (const char c : text) {
        const int d = DigitValue(c, base);
        if (d < 0)
            return std::nullopt;
        v = v * base + d;
        if (v > (static_cast<__int128>(1) << 40))
            v = static_cast<__int128>(1) << 40;
    }
    return v;
}

std::optional<std::int32_t> Reference(std::string_view text)
{
    std::size_t k = text.find_first_not_of(' ');
    if (k == std::string_view::npos)
        return std::nullopt;
    text.remove_prefix(k);
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::optional<__int128> magnitude;
    bool hex = false;
    if (text.starts_with('$') || text.starts_with('x') || text.starts_with('X')) {
        hex = true;
        magnitude = Digits(text.substr(1), 16);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        hex = true;
        magnitude = Digits(text.substr(2), 16);
    } else {
        magnitude = Digits(text, 10);
    }
    if (!magnitude)
        return std::nullopt;
    if (hex) {
        if (*magnitude > 0xFFFFFFFF)
            return std::nullopt;
        const auto bits = static_cast<std::uint32_t>(*magnitude);
        return static_cast<std::int32_t>(negative ? 0u - bits : bits);
    }
    const __int128 value = negative ? -*magnitude : *magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t ReferenceHex(std::string_view text)
{
    std::uint64_t v = 0;
    for (const char c : text) {
        const int d = DigitValue(c, 16);
        v = (v * 16 + static_cast<std::uint64_t>(d < 0 ? 0 : d)) & 0xFFFFFFFFu;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = AsText(data, size);
    const std::optional<std::int32_t> expected = Reference(text);

    std::int32_t value = 12345;
    const bool ok = TryStrToInt(text, value);
    if (ok != expected.has_value())
        Fail("TryStrToInt disagrees on validity", text);
    if (ok && value != *expected)
        Fail("TryStrToInt disagrees on the value", text);
    if (!ok && value != 12345)
        Fail("TryStrToInt changed the value on failure", text);

    try {
        const std::int32_t strict = StrToInt(text);
        if (!ok || strict != value)
            Fail("StrToInt accepted what TryStrToInt refused, or read another value", text);
    } catch (const EConvertError& error) {
        if (ok)
            Fail("StrToInt refused what TryStrToInt accepted", text);
        // what() is a C string: a NUL in the text ends it there.
        const std::string message = "'" + std::string(text) + "' is not a valid integer value";
        if (std::string_view(error.what()) != std::string_view(message.c_str()))
            Fail("EConvertError message", error.what());
    } catch (...) {
        Fail("StrToInt threw something other than EConvertError", text);
    }

    if (HexToInt(text) != ReferenceHex(text))
        Fail("HexToInt disagrees with the reference", text);
    return 0;
}
