#pragma once
// The rows of the instruction reference: one per instruction form of the machine-code
// encoding, in the encoding's order, with the line a student writes for it, its opcode, its
// byte layout and what it does. Everything shown is derived from InstructionEncoding, so the
// reference cannot drift from what the translator emits and the emulator runs.

#include "translator/Encoding.h"

#include <QAbstractTableModel>
#include <QString>

// A program line for the form, in lower case, with placeholders named as in the encoding's
// summaries: c for a constant, $r for a register, &a for a memory address; numbered 1 and 2
// only when both operands are of one kind ("add &a1,&a2", "div c,$r"). A form that no
// instruction line selects (the S forms) is written as the data line that emits its opcode.
QString StudentForm(const TEncoding& form);

// The instruction's bytes as the listing shows them: the opcode's two hexadecimal digits,
// then two characters per operand byte named like the form's placeholders ("30 cc rr",
// "14 a1 a2", "00").
QString ByteLayout(const TEncoding& form);

// True when the filter text names this opcode: as a decimal number ("48"), or as a
// hexadecimal one written with 0x, with a trailing h, or as the listing's bare digits ("0x30",
// "30h", "30"). A bare text that reads both ways ("16") names both opcodes. The program's
// "$" is not taken as a hexadecimal prefix: there it marks a register.
bool OpcodeMatches(const QString& filter, int opcode);

class TInstructionReferenceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { MnemonicColumn, FormColumn, OpcodeColumn, BytesColumn, EffectColumn };
    static constexpr int ColumnCount = EffectColumn + 1;
    explicit TInstructionReferenceModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // True when the row's mnemonic, form or description contains the filter text (ignoring
    // case), or the filter names the row's opcode; an empty filter keeps every row.
    bool RowMatches(int row, const QString& filter) const;

private:
    QString CellText(const TEncoding& form, int column) const;
};
