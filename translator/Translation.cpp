#include "Translation.h"

#include "Operands.h"
#include "strutils2.h"

#include <optional>
#include <unordered_map>
#include <utility>

namespace {

struct TLineParts {
    std::string_view Mnemonic;
    std::string_view Operands;
};

// Only the space character separates the mnemonic from its operands; a tab does not.
TLineParts SplitLine(std::string_view line)
{
    const std::string_view trimmed = TrimControls(line);
    const std::size_t space = trimmed.find(' ');
    if (space == std::string_view::npos)
        return {trimmed, {}};
    return {TrimControls(trimmed.substr(0, space)), TrimControls(trimmed.substr(space + 1))};
}

struct TWrittenOperand {
    TOperand Operand;
    std::string Written;
};

TWrittenOperand ClassifyWritten(std::string_view written)
{
    return {ClassifyOperand(written), std::string(written)};
}

// One item stands for the whole operand text, so a stray comma stays part of the operand;
// three or more items leave the line without operands.
std::vector<TWrittenOperand> AnalyseOperands(std::string_view operandText)
{
    const std::vector<std::string> items = SplitText(operandText, ",");
    std::vector<TWrittenOperand> operands;
    if (items.size() == 1) {
        operands.push_back(ClassifyWritten(operandText));
    } else if (items.size() == 2) {
        operands.push_back(ClassifyWritten(items[0]));
        operands.push_back(ClassifyWritten(items[1]));
    }
    return operands;
}

bool StartsWithDigit(std::string_view text)
{
    return !text.empty() && text.front() >= '0' && text.front() <= '9';
}

std::string DoesNotFit(std::string_view written)
{
    return "'" + std::string(written) + "' does not fit in one byte (0 to 255)";
}

class TTranslation {
public:
    explicit TTranslation(const TInstructionTable& table)
        : table_(table)
    {
    }

    void TranslateLine(std::string_view line);
    std::vector<std::string> Finish();

private:
    void TranslateInstruction(std::string_view mnemonic,
                              const std::vector<TWrittenOperand>& operands);
    void RecordReference(const TWrittenOperand& operand, std::int64_t position,
                         std::size_t offset);
    void TranslateData(std::string_view operandText);
    std::string ConvertData(std::string_view written);
    void DefineLabel(std::string_view name);
    void Emit(std::string text);
    void NoteRange(bool fits, std::string_view written);
    std::int64_t AddressOf(const std::string& foldedName) const;

    const TInstructionTable& table_;
    std::vector<std::string> listing_;
    std::vector<TJumpLabel> labels_;
    // First definition of every name, letters A to Z folded.
    std::unordered_map<std::string, std::size_t> firstLabel_;
    std::vector<TVar> references_;
    std::int64_t counter_ = 0;
    // The first value that does not fit; reported only once every line has converted, so
    // that a program with a number that is not an integer still reports that error.
    std::optional<std::string> rangeProblem_;
};

void TTranslation::TranslateLine(std::string_view line)
{
    const TLineParts parts = SplitLine(line);
    if (parts.Mnemonic.empty())
        return;
    if (SameIgnoringAsciiCase(parts.Mnemonic, "dd")) {
        TranslateData(parts.Operands);
        return;
    }
    // Operands after a code label emit nothing, so their references have no byte to fill.
    if (parts.Mnemonic.front() == ':') {
        DefineLabel(parts.Mnemonic);
        return;
    }
    TranslateInstruction(parts.Mnemonic, AnalyseOperands(parts.Operands));
}

void TTranslation::TranslateInstruction(std::string_view mnemonic,
                                        const std::vector<TWrittenOperand>& operands)
{
    TOperandBytes first;
    TOperandBytes second;
    std::string pattern;
    // The second operand converts first, so its error wins when both are invalid.
    if (operands.size() == 2)
        second = ConvertOperandBytes(operands[1].Operand.Text);
    if (!operands.empty())
        first = ConvertOperandBytes(operands[0].Operand.Text);
    for (const TWrittenOperand& operand : operands)
        pattern += operand.Operand.Letter;

    std::string text = table_.Lookup(mnemonic, first.ByteText, second.ByteText, pattern);
    // A form without a row emits nothing: its values and references have no byte.
    if (!text.empty()) {
        const std::size_t secondOffset = text.size() - second.ByteText.size();
        const std::size_t firstOffset = secondOffset - first.ByteText.size();
        if (operands.size() == 2) {
            NoteRange(second.FitsInOneByte, operands[1].Written);
            RecordReference(operands[1], counter_ + 2, secondOffset);
        }
        if (!operands.empty()) {
            NoteRange(first.FitsInOneByte, operands[0].Written);
            RecordReference(operands[0], counter_ + 1, firstOffset);
        }
    }
    Emit(std::move(text));
}

void TTranslation::RecordReference(const TWrittenOperand& operand, std::int64_t position,
                                   std::size_t offset)
{
    if (operand.Operand.IsReference)
        references_.push_back(
            TVar{operand.Operand.Name, position, listing_.size(), offset, operand.Written});
}

// Data items are used as written: not lower-cased and not classified.
void TTranslation::TranslateData(std::string_view operandText)
{
    const std::vector<std::string> items = SplitText(operandText, ",");
    if (items.empty() || items.size() > 2)
        return;
    const std::string& head = items[0];
    if (StartsWithDigit(head)) {
        Emit(ConvertData(head));
        return;
    }
    DefineLabel(head);
    std::string text;
    if (items.size() == 2)
        text = StartsWithDigit(items[1]) ? ConvertData(items[1]) : std::string(kPlaceholder);
    Emit(std::move(text));
}

std::string TTranslation::ConvertData(std::string_view written)
{
    TOperandBytes bytes = ConvertOperandBytes(written);
    NoteRange(bytes.FitsInOneByte, written);
    return std::move(bytes.ByteText);
}

void TTranslation::DefineLabel(std::string_view name)
{
    firstLabel_.try_emplace(AsciiLower(name), labels_.size());
    labels_.push_back(TJumpLabel{std::string(name), counter_});
}

void TTranslation::Emit(std::string text)
{
    counter_ += static_cast<std::int64_t>(text.size() / 2);
    listing_.push_back(std::move(text));
}

void TTranslation::NoteRange(bool fits, std::string_view written)
{
    if (!fits && !rangeProblem_)
        rangeProblem_ = DoesNotFit(written);
}

std::int64_t TTranslation::AddressOf(const std::string& foldedName) const
{
    const auto found = firstLabel_.find(foldedName);
    return found == firstLabel_.end() ? 0 : labels_[found->second].Address;
}

// Every reference knows its listing line and character offset, so patching costs the same
// per reference however long the listing is.
std::vector<std::string> TTranslation::Finish()
{
    if (rangeProblem_)
        throw ERangeError(*rangeProblem_);
    for (const TVar& reference : references_) {
        const std::int64_t address = AddressOf(reference.Name);
        if (address > 255)
            throw ERangeError("'" + reference.Written + "' stands for address "
                              + std::to_string(address)
                              + ", which does not fit in one byte (0 to 255)");
        const std::string hex = HexText(static_cast<std::uint64_t>(address), 2, false);
        listing_[reference.Line].replace(reference.Offset, hex.size(), hex);
    }
    return std::move(listing_);
}

} // namespace

std::vector<std::string> Translate(const TInstructionTable& table,
                                   const std::vector<std::string>& program)
{
    TTranslation translation(table);
    for (const std::string& line : program)
        translation.TranslateLine(line);
    return translation.Finish();
}
