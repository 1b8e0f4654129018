#include "ProgramLineSyntax.h"

#include "Encoding.h"
#include "InstructionTable.h"
#include "Operands.h"

#include <QSet>

#include <string>

namespace {

// Characters [Start, End) of the line.
struct TRange {
    int Start;
    int End;

    bool Empty() const { return Start >= End; }
};

// The translator trims every character with code 32 or below, tabs included.
bool IsBlank(QChar c)
{
    return c.unicode() <= 32;
}

QChar AsciiLower(QChar c)
{
    return c >= QLatin1Char('A') && c <= QLatin1Char('Z') ? QChar(c.unicode() + 32) : c;
}

QString AsciiLower(QStringView text)
{
    QString lower;
    lower.reserve(text.size());
    for (const QChar c : text)
        lower.append(AsciiLower(c));
    return lower;
}

TRange Trimmed(const QString& line, TRange range)
{
    while (range.Start < range.End && IsBlank(line[range.Start]))
        ++range.Start;
    while (range.End > range.Start && IsBlank(line[range.End - 1]))
        --range.End;
    return range;
}

QStringView Text(const QString& line, TRange range)
{
    return QStringView(line).mid(range.Start, range.End - range.Start);
}

// The items between commas, empty ones dropped and the others not trimmed.
std::vector<TRange> SplitAtCommas(const QString& line, TRange range)
{
    std::vector<TRange> items;
    int start = range.Start;
    for (int i = range.Start; i <= range.End; ++i) {
        if (i < range.End && line[i] != QLatin1Char(','))
            continue;
        if (i > start)
            items.push_back({start, i});
        start = i + 1;
    }
    return items;
}

bool StartsWithDigit(const QString& line, TRange range)
{
    return !range.Empty() && line[range.Start] >= QLatin1Char('0')
        && line[range.Start] <= QLatin1Char('9');
}

const QSet<QString>& KnownMnemonics()
{
    static const QSet<QString> known = [] {
        QSet<QString> words{QStringLiteral("dd")};
        for (const TEncoding& form : InstructionEncoding)
            words.insert(AsciiLower(QString::fromLatin1(form.Mnemonic.data(),
                                                        static_cast<qsizetype>(form.Mnemonic.size()))));
        return words;
    }();
    return known;
}

class TLineReader {
public:
    TLineReader(const QString& line, const TInstructionTable& table) : line_(line), table_(table) {}

    std::vector<TSyntaxSpan> Read();

private:
    void Add(TRange range, TSyntaxKind kind);
    void ReadLabel(TRange mnemonic, TRange operands);
    void ReadData(TRange mnemonic, TRange operands);
    void ReadInstruction(TRange mnemonic, TRange operands);

    const QString& line_;
    const TInstructionTable& table_;
    std::vector<TSyntaxSpan> spans_;
};

void TLineReader::Add(TRange range, TSyntaxKind kind)
{
    // Blanks at either end of an item belong to no span.
    range = Trimmed(line_, range);
    if (!range.Empty())
        spans_.push_back({range.Start, range.End - range.Start, kind});
}

std::vector<TSyntaxSpan> TLineReader::Read()
{
    const TRange whole = Trimmed(line_, {0, static_cast<int>(line_.size())});
    if (whole.Empty())
        return {};
    // Only the space character separates the mnemonic from its operands.
    const int space = static_cast<int>(Text(line_, whole).indexOf(QLatin1Char(' ')));
    const TRange mnemonic = space < 0 ? whole : Trimmed(line_, {whole.Start, whole.Start + space});
    const TRange operands = space < 0 ? TRange{whole.End, whole.End}
                                      : Trimmed(line_, {whole.Start + space + 1, whole.End});
    if (line_[mnemonic.Start] == QLatin1Char(':'))
        ReadLabel(mnemonic, operands);
    else if (AsciiLower(Text(line_, mnemonic)) == QLatin1String("dd"))
        ReadData(mnemonic, operands);
    else
        ReadInstruction(mnemonic, operands);
    return std::move(spans_);
}

// A label line emits nothing, whatever follows the label.
void TLineReader::ReadLabel(TRange mnemonic, TRange operands)
{
    Add(mnemonic, TSyntaxKind::Label);
    Add(operands, TSyntaxKind::Inert);
}

// Data items are used as written: a head that begins with a digit is a value, any other head
// names the address; a value that does not begin with a digit emits a placeholder byte.
void TLineReader::ReadData(TRange mnemonic, TRange operands)
{
    const std::vector<TRange> items = SplitAtCommas(line_, operands);
    if (items.empty() || items.size() > 2) {
        Add(mnemonic, TSyntaxKind::InertMnemonic);
        Add(operands, TSyntaxKind::Inert);
        return;
    }
    Add(mnemonic, TSyntaxKind::Mnemonic);
    if (StartsWithDigit(line_, items[0])) {
        Add(items[0], TSyntaxKind::Constant);
        if (items.size() == 2)
            Add(items[1], TSyntaxKind::Inert);
        return;
    }
    Add(items[0], TSyntaxKind::Name);
    if (items.size() == 2 && StartsWithDigit(line_, items[1]))
        Add(items[1], TSyntaxKind::Constant);
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

void TLineReader::ReadInstruction(TRange mnemonic, TRange operands)
{
    // One item stands for the whole operand text, a stray comma included; three or more
    // leave the line without operands.
    std::vector<TRange> written = SplitAtCommas(line_, operands);
    if (written.size() == 1)
        written = {operands};
    const bool ignored = written.size() > 2;
    if (ignored)
        written.clear();

    std::string pattern;
    std::vector<TSyntaxKind> kinds;
    for (const TRange item : written) {
        const TOperand operand = ClassifyOperand(Text(line_, item).toString().toStdString());
        pattern += operand.Letter;
        kinds.push_back(OperandKind(operand));
    }
    // Every operand byte is present here; which bytes they hold does not decide the row.
    const std::string byteText(kPlaceholder);
    const bool emits = !table_.Lookup(Text(line_, mnemonic).toString().toStdString(),
                                      written.empty() ? std::string() : byteText,
                                      written.size() < 2 ? std::string() : byteText, pattern)
                            .empty();
    if (!emits) {
        Add(mnemonic, IsKnownMnemonic(Text(line_, mnemonic)) ? TSyntaxKind::InertMnemonic
                                                             : TSyntaxKind::Inert);
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

bool IsKnownMnemonic(QStringView word)
{
    return KnownMnemonics().contains(AsciiLower(word));
}

std::vector<TSyntaxSpan> ProgramLineSyntax(const QString& line, const TInstructionTable& table)
{
    return TLineReader(line, table).Read();
}
