#pragma once
// Translation of a program text into the machine-code listing: one line of hexadecimal
// byte text per instruction line and data definition, with the addresses of code labels and
// data names filled in after the last line.

#include "translator/InstructionTable.h"
#include "translator/NumberText.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Raised when a byte the translation would emit lies outside 0 to 255; what() names the text
// as written, e.g. "'300' does not fit in one byte (0 to 255)".
class ERangeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A code label or data name with the byte address it stands for, defined on program line
// Line (from 1).
struct TJumpLabel {
    std::string Name;
    std::int64_t Address;
    std::size_t Line;
};

// An operand byte that receives the address of Name: listing line Line, characters from
// Offset. Written is the operand as the program wrote it, for messages.
struct TVar {
    std::string Name;
    std::int64_t Position;
    std::size_t Line;
    std::size_t Offset;
    std::string Written;
};

// Every line number below counts from 1, as messages and the editor's margin show them:
// program line 1 is program[0], listing line 1 is Listing[0].

// Something in the program that a student should look at; it never changes the listing.
struct TTranslationWarning {
    std::size_t Line;      // program line
    std::string Message;   // quotes the program's text, e.g. "'nop' is not an instruction; ..."
};

// Why a translation gave no listing.
struct TTranslationFailure {
    std::size_t Line;          // program line of the offending text
    std::string Message;       // Error's what(), exactly as Translate throws it
    std::exception_ptr Error;  // the EConvertError or ERangeError itself
};

// Where one byte of the listing came from.
struct TByteOrigin {
    std::size_t ProgramLine;
    std::size_t ListingLine;
};

struct TTranslation {
    // Empty after a failure.
    std::vector<std::string> Listing;
    // For each listing line, the program line that emitted it; empty after a failure.
    std::vector<std::size_t> ProgramLines;
    // In program line order. After a failure, those found before the translation ended.
    std::vector<TTranslationWarning> Warnings;
    std::optional<TTranslationFailure> Failure;

    // One entry per byte of the memory image the listing loads as, by address, each listing
    // line giving the bytes translator/ListingLine.h counts.
    std::vector<TByteOrigin> ByteOrigins() const;
};

// Translates the program lines into listing lines, with the line every byte came from and the
// warnings. A number that is not an integer (EConvertError, ending the translation at that
// line) or a value or referenced name's address that does not fit in one byte (ERangeError)
// is returned as the Failure, never thrown.
TTranslation TranslateProgram(const TInstructionTable& table,
                              const std::vector<std::string>& program);

// The listing alone. Throws the Failure's EConvertError or ERangeError, and then returns
// nothing.
std::vector<std::string> Translate(const TInstructionTable& table,
                                   const std::vector<std::string>& program);
