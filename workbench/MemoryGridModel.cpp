#include "MemoryGridModel.h"

#include <array>

namespace {

const std::array<QString, 256>& HexTexts()
{
    static const std::array<QString, 256> texts = [] {
        std::array<QString, 256> t;
        for (int b = 0; b < 256; ++b)
            t[static_cast<std::size_t>(b)] = QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        return t;
    }();
    return texts;
}

} // namespace

TMemoryGridModel::TMemoryGridModel(QObject* parent) : QAbstractTableModel(parent) {}

int TMemoryGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int TMemoryGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColCount;
}

QVariant TMemoryGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return CellText(index.column(), index.row());
    case ByteRole:
        return CellByte(index.column(), index.row());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    default:
        return {};
    }
}

Qt::ItemFlags TMemoryGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

int TMemoryGridModel::RowsForSize(std::int64_t size)
{
    return static_cast<int>(size / ColCount) + 1;
}

void TMemoryGridModel::SetRowCount(int rows)
{
    if (rows == rows_)
        return;
    beginResetModel();
    rows_ = rows;
    endResetModel();
}

void TMemoryGridModel::SetBytes(const std::vector<std::uint8_t>& bytes)
{
    bytes_ = bytes;
    if (rows_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, ColCount - 1), {Qt::DisplayRole});
}

int TMemoryGridModel::CellByte(int column, int row) const
{
    if (column < 0 || column >= ColCount || row < 0 || row >= rows_)
        return -1;
    const auto at = static_cast<std::size_t>(row) * ColCount + static_cast<std::size_t>(column);
    if (at >= bytes_.size())
        return -1;
    return bytes_[at];
}

QString TMemoryGridModel::CellText(int column, int row) const
{
    const int byte = CellByte(column, row);
    return byte < 0 ? QString() : HexTexts()[static_cast<std::size_t>(byte)];
}
