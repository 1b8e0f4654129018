#include "translator/Translation.h"

#include "translator/ListingLine.h"
#include "translator/Operands.h"
#include "translator/ProgramLine.h"
#include "translator/strutils2.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <utility>

namespace {

struct TWrittenOperand {
    TOperand Operand;
    std::string Written;
};

std::vector<TWrittenOperand> AnalyseOperands(const TProgramLine& line)
{
    std::vector<TWrittenOperand> operands;
    for (const std::string_view written : InstructionOperands(line))
        operands.push_back({ClassifyOperand(written), std::string(written)});
    return operands;
}

std::string Quoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

std::string DoesNotFit(std::string_view written)
{
    return Quoted(written) + " does not fit in one byte (0 to 255)";
}

class TTranslator {
public:
    explicit TTranslator(const TInstructionTable& table)
        : table_(table)
    {
    }

    void TranslateLine(std::string_view line, std::size_t lineNumber);
    TTranslation Finish();
    TTranslation Failed(std::size_t line, std::string message, std::exception_ptr error);
    // The message is what() gives, so a NUL in the program's text ends it there too.
    TTranslation Failed(std::size_t line, const ERangeError& error)
    {
        return Failed(line, error.what(), std::make_exception_ptr(error));
    }

private:
    struct TRangeProblem {
        std::string Message;
        std::size_t Line;
    };

    void TranslateInstruction(const TProgramLine& parts);
    void WarnNoRow(std::string_view mnemonic, const std::string& pattern);
    std::string NotAnInstruction(std::string_view mnemonic) const;
    void RecordReference(const TWrittenOperand& operand, std::int64_t position,
                         std::size_t offset);
    void TranslateData(const TProgramLine& parts);
    std::string ConvertData(std::string_view written);
    void DefineLabel(std::string_view name);
    void Emit(std::string text);
    void NoteRange(bool fits, std::string_view written);
    void Warn(std::size_t line, std::string message);
    std::vector<TTranslationWarning> SortedWarnings();
    void WarnUndefined(const TVar& reference, std::size_t line);
    const TJumpLabel* FindLabel(const std::string& foldedName) const;

    const TInstructionTable& table_;
    std::vector<std::string> listing_;
    std::vector<std::size_t> programLines_;   // per listing line
    std::vector<TTranslationWarning> warnings_;
    std::vector<TJumpLabel> labels_;
    // First definition of every name, letters A to Z folded.
    std::unordered_map<std::string, std::size_t> firstLabel_;
    std::vector<TVar> references_;
    std::int64_t counter_ = 0;
    std::size_t line_ = 0;
    // The first value that does not fit; reported only once every line has converted, so
    // that a program with a number that is not an integer still reports that error.
    std::optional<TRangeProblem> rangeProblem_;
};

void TTranslator::TranslateLine(std::string_view line, std::size_t lineNumber)
{
    line_ = lineNumber;
    const TProgramLine parts = ReadProgramLine(line);
    switch (parts.Kind) {
    case TProgramLineKind::Blank:
    case TProgramLineKind::Comment:
        return;
    case TProgramLineKind::Data:
        TranslateData(parts);
        return;
    case TProgramLineKind::Label:
        // Operands after a code label emit nothing, so their references have no byte to fill.
        if (!parts.OperandText.empty())
            Warn(line_, Quoted(parts.OperandText) + " after the label " + Quoted(parts.Mnemonic)
                            + " is ignored");
        DefineLabel(parts.Mnemonic);
        return;
    case TProgramLineKind::Instruction:
        TranslateInstruction(parts);
        return;
    }
}

void TTranslator::TranslateInstruction(const TProgramLine& parts)
{
    const std::string_view mnemonic = parts.Mnemonic;
    const std::string_view operandText = parts.OperandText;
    const std::vector<TWrittenOperand> operands = AnalyseOperands(parts);
    if (operands.empty() && !operandText.empty())
        Warn(line_, Quoted(operandText) + " is not one or two operands; it is ignored");
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
    if (text.empty()) {
        WarnNoRow(mnemonic, pattern);
    } else {
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

// "set<tab>1" reads as one unknown word; when the word before the tab is an instruction,
// the tab is what went wrong, so the warning says so.
std::string TTranslator::NotAnInstruction(std::string_view mnemonic) const
{
    const std::string_view head = mnemonic.substr(0, mnemonic.find('\t'));
    if (head.size() < mnemonic.size()
        && (table_.HasMnemonic(head) || SameIgnoringAsciiCase(head, "dd")))
        return Quoted(mnemonic) + " is not an instruction: a tab does not separate " + Quoted(head)
            + " from its operands (use a blank); the line emits nothing";
    return Quoted(mnemonic) + " is not an instruction; the line emits nothing";
}

void TTranslator::WarnNoRow(std::string_view mnemonic, const std::string& pattern)
{
    if (!table_.HasMnemonic(mnemonic))
        Warn(line_, NotAnInstruction(mnemonic));
    else if (pattern.empty())
        Warn(line_, Quoted(mnemonic) + " has no form without operands; the line emits nothing");
    else
        Warn(line_, Quoted(mnemonic) + " has no form with operands " + pattern
                        + "; the line emits nothing");
}

void TTranslator::RecordReference(const TWrittenOperand& operand, std::int64_t position,
                                  std::size_t offset)
{
    if (operand.Operand.IsReference)
        references_.push_back(
            TVar{operand.Operand.Name, position, listing_.size(), offset, operand.Written});
}

// Data items are used as written: not lower-cased and not classified.
void TTranslator::TranslateData(const TProgramLine& parts)
{
    const std::vector<std::string_view>& items = parts.Items;
    if (items.empty() || items.size() > 2) {
        Warn(line_, Quoted(parts.Mnemonic)
                        + " needs a name, a value, or a name and a value; the line does nothing");
        return;
    }
    const std::string_view head = items[0];
    if (IsDataValue(head)) {
        Emit(ConvertData(head));
        return;
    }
    DefineLabel(head);
    std::string text;
    if (items.size() == 2)
        text = IsDataValue(items[1]) ? ConvertData(items[1]) : std::string(kPlaceholder);
    Emit(std::move(text));
}

std::string TTranslator::ConvertData(std::string_view written)
{
    TOperandBytes bytes = ConvertOperandBytes(written);
    NoteRange(bytes.FitsInOneByte, written);
    return std::move(bytes.ByteText);
}

void TTranslator::DefineLabel(std::string_view name)
{
    const auto [first, isNew] = firstLabel_.try_emplace(AsciiLower(name), labels_.size());
    if (!isNew)
        Warn(line_, Quoted(name) + " is already defined on line "
                        + std::to_string(labels_[first->second].Line)
                        + "; this definition is not used");
    labels_.push_back(TJumpLabel{std::string(name), counter_, line_});
}

void TTranslator::Emit(std::string text)
{
    counter_ += static_cast<std::int64_t>(ListingLineBytes(text.size()));
    listing_.push_back(std::move(text));
    programLines_.push_back(line_);
}

void TTranslator::NoteRange(bool fits, std::string_view written)
{
    if (!fits && !rangeProblem_)
        rangeProblem_ = TRangeProblem{DoesNotFit(written), line_};
}

void TTranslator::Warn(std::size_t line, std::string message)
{
    warnings_.push_back(TTranslationWarning{line, std::move(message)});
}

void TTranslator::WarnUndefined(const TVar& reference, std::size_t line)
{
    const std::string& written = reference.Written;
    // "[count]" refers to the name inside the brackets.
    std::string_view name = written;
    if (written.front() == '[' && written.size() > 2)
        name = name.substr(1, name.size() - 2);
    Warn(line, Quoted(name) + " is not defined; it stands for address 0");
}

const TJumpLabel* TTranslator::FindLabel(const std::string& foldedName) const
{
    const auto found = firstLabel_.find(foldedName);
    return found == firstLabel_.end() ? nullptr : &labels_[found->second];
}

// The lines' warnings come in line order, then those of the patch pass in line order.
std::vector<TTranslationWarning> TTranslator::SortedWarnings()
{
    std::stable_sort(warnings_.begin(), warnings_.end(),
                     [](const auto& a, const auto& b) { return a.Line < b.Line; });
    return std::move(warnings_);
}

TTranslation TTranslator::Failed(std::size_t line, std::string message, std::exception_ptr error)
{
    TTranslation result;
    result.Warnings = SortedWarnings();
    result.Failure = TTranslationFailure{line, std::move(message), std::move(error)};
    return result;
}

// Every reference knows its listing line and character offset, so patching costs the same
// per reference however long the listing is.
TTranslation TTranslator::Finish()
{
    if (rangeProblem_)
        return Failed(rangeProblem_->Line, ERangeError(rangeProblem_->Message));
    for (std::size_t k = 0; k < references_.size(); ++k) {
        const TVar& reference = references_[k];
        const std::size_t line = programLines_[reference.Line];
        const TJumpLabel* label = FindLabel(reference.Name);
        // One warning per name and line, though "jin :x,:x" refers to it twice: a line's
        // references lie next to each other.
        const bool sameAsPrevious = k > 0 && references_[k - 1].Line == reference.Line
            && references_[k - 1].Name == reference.Name;
        if (!label && !sameAsPrevious)
            WarnUndefined(reference, line);
        const std::int64_t address = label ? label->Address : 0;
        if (address > 255)
            return Failed(line, ERangeError(Quoted(reference.Written) + " stands for address "
                                            + std::to_string(address)
                                            + ", which does not fit in one byte (0 to 255)"));
        const std::string hex = HexText(static_cast<std::uint64_t>(address), 2, false);
        listing_[reference.Line].replace(reference.Offset, hex.size(), hex);
    }
    TTranslation result;
    result.Warnings = SortedWarnings();
    result.Listing = std::move(listing_);
    result.ProgramLines = std::move(programLines_);
    return result;
}

} // namespace

std::vector<TByteOrigin> TTranslation::ByteOrigins() const
{
    std::vector<TByteOrigin> origins;
    for (std::size_t k = 0; k < Listing.size(); ++k)
        origins.insert(origins.end(), ListingLineBytes(Listing[k].size()),
                       TByteOrigin{ProgramLines[k], k + 1});
    return origins;
}

TTranslation TranslateProgram(const TInstructionTable& table,
                              const std::vector<std::string>& program)
{
    TTranslator translator(table);
    std::size_t lineNumber = 0;
    try {
        for (const std::string& line : program)
            translator.TranslateLine(line, ++lineNumber);
    } catch (const EConvertError& error) {
        return translator.Failed(lineNumber, error.what(), std::current_exception());
    }
    return translator.Finish();
}

std::vector<std::string> Translate(const TInstructionTable& table,
                                   const std::vector<std::string>& program)
{
    TTranslation translation = TranslateProgram(table, program);
    if (translation.Failure)
        std::rethrow_exception(translation.Failure->Error);
    return std::move(translation.Listing);
}
