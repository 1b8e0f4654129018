#pragma once
// How the translator takes one program line apart: the line trimmed, its first word up to the
// first space, the rest as operand text, the operand text split at commas. Every part is a view
// into the line handed in, so its offset there is its column; the program editor's colours read
// lines through here too, so that they follow the translation.

#include <string_view>
#include <vector>

enum class TProgramLineKind {
    Blank,        // nothing but blanks and control characters
    Comment,      // the first character after the blanks is ';': read as a blank line is
    Label,        // the first word starts with ':'
    Data,         // the first word is "dd", in any case
    Instruction,  // any other first word, an unknown one included
};

struct TProgramLine {
    TProgramLineKind Kind = TProgramLineKind::Blank;
    // The first word: up to the first space, not a tab, so "set<tab>1" is one word.
    std::string_view Mnemonic;
    // What follows that space, trimmed; empty without one.
    std::string_view OperandText;
    // Data and instruction lines: the operand text's items between commas, empty items
    // dropped and the others not trimmed. Empty for the other kinds.
    std::vector<std::string_view> Items;
};

// The line's parts, with blanks and control characters trimmed from the ends of the line, of
// the first word and of the operand text. A comment line has no parts: nothing in it is read.
TProgramLine ReadProgramLine(std::string_view line);

// The operands an instruction line is translated with: one item stands for the whole operand
// text, so a stray comma stays part of the operand; two items are two operands; three or more
// items leave the line without operands.
std::vector<std::string_view> InstructionOperands(const TProgramLine& line);

// A data item that starts with a digit is a value; any other item names an address.
bool IsDataValue(std::string_view item);
