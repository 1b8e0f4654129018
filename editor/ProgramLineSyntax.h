#pragma once
// How one program line reads, span by span, for the program editor's highlighting. The line
// is taken apart by the translator's own line reader (translator/ProgramLine.h), operands are
// classified by the translator's own operand rules, and the instruction table decides whether
// the line emits anything.

#include <QString>

#include <cstddef>
#include <vector>

class TInstructionTable;

enum class TSyntaxKind {
    Mnemonic,       // a mnemonic of an instruction form, or dd
    Register,       // $n
    Constant,       // a number, &n included
    Label,          // a code label, defined (":start") or used as an operand
    Name,           // a data name, defined by dd or used as an operand ("count", "[count]")
    Inert,          // text that emits nothing: unknown mnemonics, forms without a row, ignored operands
    InertMnemonic,  // a known mnemonic on a line whose form has no row
    Comment,        // a line whose first character after the blanks is ';'
};

inline constexpr std::size_t kSyntaxKindCount = static_cast<std::size_t>(TSyntaxKind::Comment) + 1;

struct TSyntaxSpan {
    int Start;
    int Length;
    TSyntaxKind Kind;
};

// Spans in order from left to right; characters outside every span (blanks, commas, a data
// value that is not a number) keep the plain text format.
std::vector<TSyntaxSpan> ProgramLineSyntax(const QString& line, const TInstructionTable& table);
