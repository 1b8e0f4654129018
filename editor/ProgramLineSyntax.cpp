#include "editor/ProgramLineSyntax.h"

#include "translator/InstructionTable.h"
#include "translator/Operands.h"
#include "translator/ProgramLine.h"
#include "translator/strutils2.h"

#include <QByteArray>

#include <string>
#include <string_view>

namespace {

TSyntaxKind OperandKind(const TOperand& operand)
{
    if (operand.Letter == 'R')
        return TSyntaxKind::Register;
    if (operand.IsReference)
        return operand.Name.empty() || operand.Name.front() != ':' ? TSyntaxKind::Name
                                                                    : TSyntaxKind::Label;
    return TSyntaxKind::Constant;
}

// Reads the line with one char per character of the editor's text, so that the offset of a
// view into it is the column of that text.
class TLineReader {
public:
    TLineReader(std::string_view line, const TInstructionTable& table)
        : line_(line), table_(table)
    {
    }

    std::vector<TSyntaxSpan> Read();

private:
    void Add(std::string_view text, TSyntaxKind kind);
    void ReadLabel(const TProgramLine& parts);
    void ReadData(const TProgramLine& parts);
    void ReadInstruction(const TProgramLine& parts);

    std::string_view line_;
    const TInstructionTable& table_;
    std::vector<TSyntaxSpan> spans_;
};

void TLineReader::Add(std::string_view text, TSyntaxKind kind)
{
    // Blanks at either end of an item belong to no span.
    text = TrimControls(text);
    if (!text.empty())
        spans_.push_back({static_cast<int>(text.data() - line_.data()),
                          static_cast<int>(text.size()), kind});
}

std::vector<TSyntaxSpan> TLineReader::Read()
{
    const TProgramLine parts = ReadProgramLine(line_);
    switch (parts.Kind) {
    case TProgramLineKind::Blank:
        break;
    case TProgramLineKind::Comment:
        Add(line_, TSyntaxKind::Comment);
        break;
    case TProgramLineKind::Label:
        ReadLabel(parts);
        break;
    case TProgramLineKind::Data:
        ReadData(parts);
        break;
    case TProgramLineKind::Instruction:
        ReadInstruction(parts);
        break;
    }
    return std::move(spans_);
}

// A label line emits nothing, whatever follows the label.
void TLineReader::ReadLabel(const TProgramLine& parts)
{
    Add(parts.Mnemonic, TSyntaxKind::Label);
    Add(parts.OperandText, TSyntaxKind::Inert);
}

// Data items are used as written: a head that is a value emits it, any other head names the
// address, and a second item after a name emits a placeholder byte unless it is a value.
void TLineReader::ReadData(const TProgramLine& parts)
{
    const std::vector<std::string_view>& items = parts.Items;
    if (items.empty() || items.size() > 2) {
        Add(parts.Mnemonic, TSyntaxKind::InertMnemonic);
        Add(parts.OperandText, TSyntaxKind::Inert);
        return;
    }
    Add(parts.Mnemonic, TSyntaxKind::Mnemonic);
    if (IsDataValue(items[0])) {
        Add(items[0], TSyntaxKind::Constant);
        if (items.size() == 2)
            Add(items[1], TSyntaxKind::Inert);
        return;
    }
    Add(items[0], TSyntaxKind::Name);
    if (items.size() == 2 && IsDataValue(items[1]))
        Add(items[1], TSyntaxKind::Constant);
}

void TLineReader::ReadInstruction(const TProgramLine& parts)
{
    const std::string_view mnemonic = parts.Mnemonic;
    const std::vector<std::string_view> written = InstructionOperands(parts);
    const bool ignored = parts.Items.size() > 2;

    std::string pattern;
    std::vector<TSyntaxKind> kinds;
    for (const std::string_view item : written) {
        const TOperand operand = ClassifyOperand(item);
        pattern += operand.Letter;
        kinds.push_back(OperandKind(operand));
    }
    // Every operand byte is present here; which bytes they hold does not decide the row.
    const bool emits = !table_.Lookup(mnemonic, written.empty() ? std::string_view() : kPlaceholder,
                                      written.size() < 2 ? std::string_view() : kPlaceholder,
                                      pattern)
                            .empty();
    if (!emits) {
        Add(mnemonic,
            table_.HasMnemonic(mnemonic) ? TSyntaxKind::InertMnemonic : TSyntaxKind::Inert);
        Add(parts.OperandText, TSyntaxKind::Inert);
        return;
    }
    Add(mnemonic, TSyntaxKind::Mnemonic);
    if (ignored)
        Add(parts.OperandText, TSyntaxKind::Inert);
    for (std::size_t i = 0; i < written.size(); ++i)
        Add(written[i], kinds[i]);
}

} // namespace

std::vector<TSyntaxSpan> ProgramLineSyntax(const QString& line, const TInstructionTable& table)
{
    // Latin-1 keeps one char per character (others become '?'), and the rules below look at
    // ASCII characters only, so they read this text as the translator reads the program's.
    const QByteArray text = line.toLatin1();
    return TLineReader(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                       table)
        .Read();
}
