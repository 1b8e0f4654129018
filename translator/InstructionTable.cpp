#include "InstructionTable.h"

#include "strutils2.h"

#include <functional>

std::size_t TInstructionTable::KeyHash::operator()(
    const std::pair<std::string, std::string>& key) const
{
    const std::size_t h1 = std::hash<std::string>{}(key.first);
    const std::size_t h2 = std::hash<std::string>{}(key.second);
    return h1 ^ (h2 + 0x9e3779b97f4a7c15ULL + (h1 << 6) + (h1 >> 2));
}

void TInstructionTable::Add(std::string mnemonic, std::string pattern, std::int64_t opcode,
                            bool firstOperand, bool secondOperand)
{
    const std::size_t index = rows_.size();
    byForm_[{AsciiLower(mnemonic), AsciiLower(pattern)}].push_back(index);
    if (opcode >= 0 && opcode < 256 && byOpcode_[static_cast<std::size_t>(opcode)] < 0)
        byOpcode_[static_cast<std::size_t>(opcode)] = static_cast<int>(index);
    rows_.push_back(TOpCode{opcode, std::move(mnemonic), firstOperand, secondOperand,
                            std::move(pattern)});
}

std::string TInstructionTable::Lookup(std::string_view mnemonic, std::string_view firstByteText,
                                      std::string_view secondByteText,
                                      std::string_view pattern) const
{
    const auto found = byForm_.find({AsciiLower(mnemonic), AsciiLower(pattern)});
    if (found == byForm_.end())
        return {};
    const bool hasFirst = !firstByteText.empty();
    const bool hasSecond = !secondByteText.empty();
    const auto& candidates = found->second;
    for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
        const TOpCode& row = rows_[*it];
        if (row.FirstOperand != hasFirst || row.SecondOperand != hasSecond)
            continue;
        std::string text = HexText(static_cast<std::uint64_t>(row.Opcode), 2, false);
        text += firstByteText;
        text += secondByteText;
        return AsciiLower(text);
    }
    return {};
}

const std::vector<TOpCode>& TInstructionTable::Rows() const
{
    return rows_;
}

const TOpCode* TInstructionTable::FindOpcode(int opcode) const
{
    if (opcode < 0 || opcode >= 256)
        return nullptr;
    const int index = byOpcode_[static_cast<std::size_t>(opcode)];
    return index < 0 ? nullptr : &rows_[static_cast<std::size_t>(index)];
}

namespace {

struct TForm {
    const char* Pattern;
    std::int64_t Opcode;
};

struct TMnemonicForms {
    const char* Mnemonic;
    std::vector<TForm> Forms;
};

} // namespace

void FillInstructionTable(TInstructionTable& table)
{
    // Div and iDiv interleave: Div CR, Div CC, Div RR, iDiv RR, Div MM, iDiv MM.
    static const std::vector<TMnemonicForms> forms = {
        {"Stop", {{"", 0}}},
        {"Reset", {{"", 1}}},
        {"Page", {{"C", 2}, {"R", 3}, {"M", 4}}},
        {"Add", {{"CC", 16}, {"C", 17}, {"RR", 18}, {"R", 19}, {"MM", 20}, {"M", 21}}},
        {"Inc", {{"", 22}}},
        {"Sub", {{"CC", 32}, {"C", 33}, {"RR", 34}, {"R", 35}, {"MM", 36}, {"M", 37}}},
        {"Dec", {{"", 38}}},
        {"Div", {{"CR", 48}, {"CC", 49}, {"RR", 50}}},
        {"iDiv", {{"RR", 51}}},
        {"Div", {{"MM", 52}}},
        {"iDiv", {{"MM", 53}}},
        {"Mul", {{"C", 64}, {"CC", 65}, {"R", 66}, {"RR", 67}, {"M", 68}, {"MM", 69}}},
        {"And", {{"CC", 80}, {"C", 81}, {"", 82}, {"RR", 83}, {"R", 84}, {"MM", 85}, {"M", 86}}},
        {"Or", {{"CC", 87}, {"C", 88}, {"", 89}, {"RR", 90}, {"R", 91}, {"MM", 92}, {"M", 93}}},
        {"Not", {{"C", 96}, {"S", 97}, {"R", 98}, {"M", 99}}},
        {"XOr",
         {{"CC", 100}, {"C", 101}, {"S", 102}, {"RR", 103}, {"R", 104}, {"MM", 105}, {"M", 106}}},
        {"Mov",
         {{"RR", 112}, {"RM", 113}, {"MM", 114}, {"MR", 115}, {"C", 116}, {"M", 117}, {"R", 118},
          {"RC", 119}, {"MC", 120}}},
        {"Xch", {{"MM", 128}, {"RR", 129}, {"M", 130}, {"R", 131}}},
        {"Set", {{"C", 240}, {"R", 241}, {"M", 242}}},
        {"Out", {{"C", 243}, {"R", 244}, {"M", 245}}},
        {"In", {{"M", 246}, {"R", 247}}},
        {"Jmp", {{"C", 144}, {"R", 145}, {"M", 146}}},
        {"Jin", {{"CC", 147}, {"RR", 148}, {"MM", 149}}},
        {"Jig", {{"CC", 150}, {"RR", 151}, {"MM", 152}}},
        {"Cmp", {{"RC", 160}, {"RR", 161}, {"MM", 162}, {"MC", 163}, {"MR", 164}, {"RM", 165}}},
    };
    for (const TMnemonicForms& entry : forms) {
        for (const TForm& form : entry.Forms) {
            const std::string pattern = form.Pattern;
            // The S forms take no operand byte, yet carry a letter: their flags stay false.
            const bool operandless = pattern.empty() || pattern == "S";
            const bool first = !operandless;
            const bool second = !operandless && pattern.size() >= 2;
            table.Add(entry.Mnemonic, pattern, form.Opcode, first, second);
        }
    }
}
