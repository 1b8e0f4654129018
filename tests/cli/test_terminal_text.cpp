// What mirelo-cli writes of a program's text on a terminal.

#include "cli/TerminalText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct EscapeCase {
    const char* name;
    std::string text;
    std::string written;
};

void PrintTo(const EscapeCase& c, std::ostream* os)
{
    *os << c.name;
}

class TerminalText : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(TerminalText, EscapesWhatCouldDriveTheTerminal)
{
    EXPECT_EQ(EscapeForTerminal(GetParam().text), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, TerminalText,
    ::testing::Values(
        EscapeCase{"PlainTextStays", "set 1 ; [count] :a", "set 1 ; [count] :a"},
        EscapeCase{"EscapeSequence", "\x1b[2J\x1b]0;owned\x07", "\\x1b[2J\\x1b]0;owned\\x07"},
        EscapeCase{"TabReturnNewlineNul", std::string("a\tb\rc\nd\0e", 9),
                   "a\\x09b\\x0dc\\x0ad\\x00e"},
        EscapeCase{"Delete", "a\x7f", "a\\x7f"},
        EscapeCase{"BackslashDoubled", "\\x1b", "\\\\x1b"},
        EscapeCase{"Utf8StaysReadable", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x99\x82",
                   "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x99\x82"},
        EscapeCase{"C1ControlsInUtf8", "\xc2\x9b" "31m\xc2\x85\xc2\xa0",
                   "\\xc2\\x9b" "31m\\xc2\\x85\xc2\xa0"},
        // Both ends of U+0080..U+009F, so neither bound of the range can slip by one.
        EscapeCase{"C1RangeEnds", "\xc2\x80" "a\xc2\x9f" "b\xc2\x7f",
                   "\\xc2\\x80" "a\\xc2\\x9f" "b\\xc2\\x7f"},
        EscapeCase{"RawC1AndLoneBytes", "\x9b\x80\xff\xfe", "\\x9b\\x80\\xff\\xfe"},
        EscapeCase{"OverlongForms", "\xc0\xaf\xe0\x80\xaf", "\\xc0\\xaf\\xe0\\x80\\xaf"},
        EscapeCase{"SurrogateAndAboveLastCodePoint", "\xed\xa0\x80\xf4\x90\x80\x80",
                   "\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80"},
        EscapeCase{"CutShortAtTheEnd", "ok\xe2\x82", "ok\\xe2\\x82"},
        EscapeCase{"CutShortBeforeAscii", "\xe2\x82x", "\\xe2\\x82x"},
        EscapeCase{"LastCodePoints", "\xf4\x8f\xbf\xbf\xef\xbf\xbd", "\xf4\x8f\xbf\xbf\xef\xbf\xbd"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
