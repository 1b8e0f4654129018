#pragma once
// The instruction table: every instruction form the translator can emit and the opcode byte
// that stands for it, as the translator looks them up. Its rows come from the one list of the
// machine-code encoding in Encoding.h, which the emulator decodes too.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

struct TOpCode {
    std::int64_t Opcode;
    std::string Mnemonic;   // as stored, in mixed case ("iDiv"); matching ignores case
    bool FirstOperand;
    bool SecondOperand;
    std::string Pattern;    // one of C, R, M (or S) per operand; empty without operands
};

class TInstructionTable {
public:
    // Appends one row at the end of the table.
    void Add(std::string mnemonic, std::string pattern, std::int64_t opcode, bool firstOperand,
             bool secondOperand);

    // Listing text of the row matching mnemonic and pattern (letters A to Z folded) whose
    // operand flags agree with which byte texts are present, in lower case; "" when no row
    // matches. Where several rows would match, the last one wins.
    std::string Lookup(std::string_view mnemonic, std::string_view firstByteText,
                       std::string_view secondByteText, std::string_view pattern) const;

    const std::vector<TOpCode>& Rows() const;

    // True when some row has this mnemonic (letters A to Z folded), whatever its operands.
    bool HasMnemonic(std::string_view mnemonic) const;

    // The first row whose opcode is this byte, or nullptr.
    const TOpCode* FindOpcode(int opcode) const;

private:
    struct KeyHash {
        std::size_t operator()(const std::pair<std::string, std::string>& key) const;
    };

    std::vector<TOpCode> rows_;
    // Rows by folded mnemonic and pattern, in table order, so that a lookup does not scan
    // the whole table for every program line.
    std::unordered_map<std::pair<std::string, std::string>, std::vector<std::size_t>, KeyHash>
        byForm_;
    std::vector<int> byOpcode_ = std::vector<int>(256, -1);
    std::unordered_set<std::string> mnemonics_;   // folded
};

// Appends the 92 rows of the machine's instruction set in the order of InstructionEncoding.
void FillInstructionTable(TInstructionTable& table);
