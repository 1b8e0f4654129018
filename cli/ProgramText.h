#pragma once
// Reading program and listing text the way the editors hold it: one line per text line.

#include <stdexcept>
#include <string>
#include <vector>

// A source that cannot be read; what() names it and the reason.
class ESourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "\n" and "\r\n" both end a line; a final line break does not start another line.
std::vector<std::string> SplitLines(const std::string& text);

// The whole content of `path`, or of standard input for "-".
std::string ReadSource(const std::string& path);
