#include "reference/InstructionReferenceModel.h"

#include <cstddef>

namespace {

QString Latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A line without operands has the empty pattern, so a form that carries a pattern letter yet
// takes no operand byte is never selected by an instruction line.
bool NoLineSelects(const TEncoding& form)
{
    return form.OperandCount() == 0 && !form.Pattern.empty();
}

// 1 or 2 when both operands share a kind and need telling apart, else 0.
int OperandNumber(const TEncoding& form, std::size_t operand)
{
    const bool sameKind = form.Pattern.size() == 2 && form.Pattern[0] == form.Pattern[1];
    return sameKind ? static_cast<int>(operand) + 1 : 0;
}

char KindLetter(char kind)
{
    return kind == 'R' ? 'r' : kind == 'M' ? 'a' : 'c';
}

// What the operand looks like in a program line: registers carry "$", addresses "&", and a
// constant is written bare.
QString Placeholder(char kind, int number)
{
    QString text;
    if (kind == 'R')
        text += QLatin1Char('$');
    else if (kind == 'M')
        text += QLatin1Char('&');
    text += QLatin1Char(KindLetter(kind));
    if (number > 0)
        text += QString::number(number);
    return text;
}

// Two characters, like the two hexadecimal digits the byte takes in the listing.
QString BytePlaceholder(char kind, int number)
{
    const QChar letter = QLatin1Char(KindLetter(kind));
    return number > 0 ? QString(letter) + QString::number(number) : QString(2, letter);
}

// The value of 1 to 3 digits of the base, or -1; opcodes are bytes, so nothing above 255.
int ByteValue(QStringView digits, int base)
{
    if (digits.isEmpty() || digits.size() > 3)
        return -1;
    int value = 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        const int digit = u >= u'0' && u <= u'9' ? u - u'0'
                          : u >= u'a' && u <= u'f' ? u - u'a' + 10
                                                   : base;
        if (digit >= base)
            return -1;
        value = value * base + digit;
    }
    return value <= 255 ? value : -1;
}

} // namespace

QString StudentForm(const TEncoding& form)
{
    if (NoLineSelects(form))
        return QStringLiteral("dd %1").arg(int{form.Opcode});
    QString line = Latin1(form.Mnemonic).toLower();
    for (std::size_t i = 0; i < form.Pattern.size(); ++i) {
        line += QLatin1Char(i == 0 ? ' ' : ',');
        line += Placeholder(form.Pattern[i], OperandNumber(form, i));
    }
    return line;
}

QString ByteLayout(const TEncoding& form)
{
    QString layout = QStringLiteral("%1").arg(int{form.Opcode}, 2, 16, QLatin1Char('0'));
    for (std::size_t i = 0; i < static_cast<std::size_t>(form.OperandCount()); ++i)
        layout += QLatin1Char(' ') + BytePlaceholder(form.Pattern[i], OperandNumber(form, i));
    return layout;
}

bool OpcodeMatches(const QString& filter, int opcode)
{
    const QString text = filter.trimmed().toLower();
    if (text.startsWith(QLatin1String("0x")))
        return ByteValue(QStringView(text).mid(2), 16) == opcode;
    if (text.endsWith(QLatin1Char('h')))
        return ByteValue(QStringView(text).chopped(1), 16) == opcode;
    // The listing writes an opcode as two bare digits, so a short bare text is read as
    // hexadecimal too.
    return ByteValue(text, 10) == opcode || (text.size() <= 2 && ByteValue(text, 16) == opcode);
}

TInstructionReferenceModel::TInstructionReferenceModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int TInstructionReferenceModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(InstructionEncoding.size());
}

int TInstructionReferenceModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TInstructionReferenceModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const TEncoding& form = InstructionEncoding[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return CellText(form, index.column());
    if (role == Qt::ToolTipRole && NoLineSelects(form) && index.column() == FormColumn)
        return tr("No instruction line selects this form: a line without operands never "
                  "carries its pattern letter. Written as data, its opcode byte runs as this "
                  "instruction.");
    return {};
}

QVariant TInstructionReferenceModel::headerData(int section, Qt::Orientation orientation,
                                                int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case MnemonicColumn:
        return tr("Instruction");
    case FormColumn:
        return tr("Written as");
    case OpcodeColumn:
        return tr("Opcode");
    case BytesColumn:
        return tr("Bytes");
    case EffectColumn:
        return tr("What it does");
    default:
        return {};
    }
}

bool TInstructionReferenceModel::RowMatches(int row, const QString& filter) const
{
    const QString text = filter.trimmed();
    if (text.isEmpty())
        return true;
    const TEncoding& form = InstructionEncoding[static_cast<std::size_t>(row)];
    if (OpcodeMatches(text, form.Opcode))
        return true;
    for (const int column : {MnemonicColumn, FormColumn, EffectColumn}) {
        if (CellText(form, column).contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString TInstructionReferenceModel::CellText(const TEncoding& form, int column) const
{
    switch (column) {
    case MnemonicColumn:
        return Latin1(form.Mnemonic);
    case FormColumn:
        return StudentForm(form);
    case OpcodeColumn:
        return QStringLiteral("%1h (%2)")
            .arg(int{form.Opcode}, 2, 16, QLatin1Char('0'))
            .arg(int{form.Opcode});
    case BytesColumn:
        return ByteLayout(form);
    case EffectColumn:
        return Latin1(form.Summary);
    default:
        return {};
    }
}
