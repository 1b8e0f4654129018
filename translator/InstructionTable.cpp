#include "translator/InstructionTable.h"

#include "translator/Encoding.h"
#include "translator/strutils2.h"

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
    std::string folded = AsciiLower(mnemonic);
    byForm_[{folded, AsciiLower(pattern)}].push_back(index);
    mnemonics_.insert(std::move(folded));
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

bool TInstructionTable::HasMnemonic(std::string_view mnemonic) const
{
    return mnemonics_.count(AsciiLower(mnemonic)) != 0;
}

const TOpCode* TInstructionTable::FindOpcode(int opcode) const
{
    if (opcode < 0 || opcode >= 256)
        return nullptr;
    const int index = byOpcode_[static_cast<std::size_t>(opcode)];
    return index < 0 ? nullptr : &rows_[static_cast<std::size_t>(index)];
}

void FillInstructionTable(TInstructionTable& table)
{
    for (const TEncoding& form : InstructionEncoding) {
        // The S forms take no operand byte, yet carry a letter: their flags stay false.
        const int operands = form.OperandCount();
        table.Add(std::string(form.Mnemonic), std::string(form.Pattern), form.Opcode, operands >= 1,
                  operands >= 2);
    }
}
