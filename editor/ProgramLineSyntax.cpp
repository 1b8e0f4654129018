#include "editor/ProgramLineSyntax.h"

#include "translator/InstructionTable.h"
#include "translator/Operands.h"
#include "translator/strutils2.h"

#include <QByteArray>

#include <string>
#include <string_view>

namespace {

bool StartsWithDigit(std::string_view text)
{
    return !text.empty() && text.front() >= '0' && text.front() <= '9';
}

// The items between commas, empty ones dropped and the others not trimmed, as the translator
// splits them; views into the line, so that each keeps its column.
std::vector<std::string_view> SplitAtCommas(std::string_view text)
{
    std::vector<std::string_view> items;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != ',')
            continue;
        if (i > start)
            items.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    return items;
}

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
    void ReadLabel(std::string_view mnemonic, std::string_view operands);
    void ReadData(std::string_view mnemonic, std::string_view operands);
    void ReadInstruction(std::string_view mnemonic, std::string_view operands);

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
    const std::string_view whole = TrimControls(line_);
    if (whole.empty())
        return {};
    // Only the space character separates the mnemonic from its operands.
    const std::size_t space = whole.find(' ');
    const std::string_view mnemonic =
        space == std::string_view::npos ? whole : TrimControls(whole.substr(0, space));
    const std::string_view operands = space == std::string_view::npos
                                          ? std::string_view()
                                          : TrimControls(whole.substr(space + 1));
    if (mnemonic.front() == ':')
        ReadLabel(mnemonic, operands);
    else if (SameIgnoringAsciiCase(mnemonic, "dd"))
        ReadData(mnemonic, operands);
    else
        ReadInstruction(mnemonic, operands);
    return std::move(spans_);
}

// A label line emits nothing, whatever follows the label.
void TLineReader::ReadLabel(std::string_view mnemonic, std::string_view operands)
{
    Add(mnemonic, TSyntaxKind::Label);
    Add(operands, TSyntaxKind::Inert);
}

// Data items are used as written: a head that begins with a digit is a value, any other head
// names the address; a value that does not begin with a digit emits a placeholder byte.
void TLineReader::ReadData(std::string_view mnemonic, std::string_view operands)
{
    const std::vector<std::string_view> items = SplitAtCommas(operands);
    if (items.empty() || items.size() > 2) {
        Add(mnemonic, TSyntaxKind::InertMnemonic);
        Add(operands, TSyntaxKind::Inert);
        return;
    }
    Add(mnemonic, TSyntaxKind::Mnemonic);
    if (StartsWithDigit(items[0])) {
        Add(items[0], TSyntaxKind::Constant);
        if (items.size() == 2)
            Add(items[1], TSyntaxKind::Inert);
        return;
    }
    Add(items[0], TSyntaxKind::Name);
    if (items.size() == 2 && StartsWithDigit(items[1]))
        Add(items[1], TSyntaxKind::Constant);
}

void TLineReader::ReadInstruction(std::string_view mnemonic, std::string_view operands)
{
    // One item stands for the whole operand text, a stray comma included; three or more
    // leave the line without operands.
    std::vector<std::string_view> written = SplitAtCommas(operands);
    if (written.size() == 1)
        written = {operands};
    const bool ignored = written.size() > 2;
    if (ignored)
        written.clear();

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
        Add(operands, TSyntaxKind::Inert);
        return;
    }
    Add(mnemonic, TSyntaxKind::Mnemonic);
    if (ignored)
        Add(operands, TSyntaxKind::Inert);
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
