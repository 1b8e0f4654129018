#pragma once
// Reading program and listing text from a file or standard input by the window's own rules
// (encoding, byte order mark, line breaks, size, NUL bytes, what is not a regular file), so
// that a file reads the same in both; SplitLines (strutils2) then gives its lines the way the
// editors hold them.

#include <stdexcept>
#include <string>

// A source that is refused; what() is the window's message, naming it and the reason.
class ESourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text of `path`, or of standard input for "-", in UTF-8 with every line break as "\n".
std::string ReadSource(const std::string& path);
