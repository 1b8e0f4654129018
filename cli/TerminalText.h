#pragma once
// Text from a program, made safe to write on a terminal.

#include <string>
#include <string_view>

// The text with every byte that could drive a terminal written as \xNN (two lower-case hex
// digits): the control characters below 0x20, DEL, the C1 controls U+0080 to U+009F, and every
// byte that is not part of well-formed UTF-8. A backslash is written \\, so each \x in the
// result stands for exactly one byte of the text. Other UTF-8 text stays readable.
std::string EscapeForTerminal(std::string_view text);
