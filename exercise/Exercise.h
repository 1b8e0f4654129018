#pragma once
// An exercise: a task a teacher hands out, with the cases a program must pass. Read from a
// TOML file (*.mirex), never half-read: a file that breaks a rule is refused whole, with the
// place the rule was broken.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct TExerciseCase {
    std::string Name;                  // "case N" (N from 1) when the file gives none
    std::vector<std::string> Input;    // one text per In, in order
    std::vector<std::int32_t> Output;  // the values the Outs print, in order, and no more
    // Registers (number 1 to 15) that must hold a value when the run ends, in file order.
    std::vector<std::pair<int, std::int32_t>> Registers;
};

struct TExercise {
    static constexpr std::uint64_t DefaultMaxSteps = 100000;

    std::string Title;
    std::string Text;     // Markdown; may be empty
    std::string Starter;  // a program to start from; may be empty
    std::uint64_t MaxSteps = DefaultMaxSteps;
    std::vector<TExerciseCase> Cases; // at least one
};

// A refused exercise: what() is "FILE:LINE:COLUMN: message".
class EExerciseError : public std::runtime_error {
public:
    EExerciseError(const std::string& source, int line, int column, const std::string& message);
    int Line() const { return line_; }
    int Column() const { return column_; }
    const std::string& Message() const { return message_; }

private:
    int line_;
    int column_;
    std::string message_;
};

// An exercise file that could not be read at all (missing, a folder, unreadable, over 4 MiB):
// what() says why, naming the file.
class EExerciseFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads an exercise from its text; `source` names it in messages. Throws EExerciseError.
TExercise ReadExercise(std::string_view text, const std::string& source);
// Reads the file (at most 4 MiB, as programs are) and then its text. Throws
// EExerciseFileError or EExerciseError.
TExercise LoadExercise(const std::string& path);
