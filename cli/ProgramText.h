#pragma once
// Reading program and listing text from a file or standard input; SplitLines (strutils2)
// then gives its lines the way the editors hold them.

#include <stdexcept>
#include <string>

// A source that cannot be read; what() names it and the reason.
class ESourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole content of `path`, or of standard input for "-".
std::string ReadSource(const std::string& path);
