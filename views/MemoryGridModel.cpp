#include "views/MemoryGridModel.h"

#include <algorithm>
#include <array>
#include <cstring>

const QString& TMemoryGridModel::ByteText(std::uint8_t byte)
{
    static const std::array<QString, 256> texts = [] {
        std::array<QString, 256> t;
        for (int b = 0; b < 256; ++b)
            t[static_cast<std::size_t>(b)] = QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        return t;
    }();
    return texts[byte];
}

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
    case ChangedRole:
        return CellChanged(index.column(), index.row());
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
    ClearMarks();
    if (compare_) {
        CopyMarkingChanges(bytes);
    } else {
        bytes_ = bytes;
        changed_.assign(bytes.size(), 0);
        compare_ = true;
    }
    // One notice per refresh, tinted or not: cheaper for the view than one per changed cell,
    // and it repaints the cells whose marks were just cleared as well.
    if (rows_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, ColCount - 1), {Qt::DisplayRole, ChangedRole});
}

void TMemoryGridModel::BeginRun()
{
    compare_ = false;
    const bool hadMarks = !changedAt_.empty();
    ClearMarks();
    // Only a grid that showed marks needs repainting; a fresh one is left alone.
    if (hadMarks && rows_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, ColCount - 1), {ChangedRole});
}

void TMemoryGridModel::ClearMarks()
{
    for (const std::size_t at : changedAt_)
        changed_[at] = 0;
    changedAt_.clear();
}

void TMemoryGridModel::CopyMarkingChanges(const std::vector<std::uint8_t>& bytes)
{
    const std::size_t common = std::min(bytes.size(), bytes_.size());
    bytes_.resize(bytes.size());
    changed_.resize(bytes.size(), 0);
    // A step writes a few bytes at most, so whole blocks compare equal and memcmp skips them
    // about as fast as copying them would take.
    constexpr std::size_t Block = 256;
    const std::uint8_t* from = bytes.data();
    std::uint8_t* to = bytes_.data();
    for (std::size_t start = 0; start < common; start += Block) {
        const std::size_t end = std::min(start + Block, common);
        if (std::memcmp(to + start, from + start, end - start) == 0)
            continue;
        for (std::size_t at = start; at < end; ++at) {
            if (to[at] != from[at]) {
                to[at] = from[at];
                changed_[at] = 1;
                changedAt_.push_back(at);
            }
        }
    }
    // Bytes the image grew by were empty cells before.
    for (std::size_t at = common; at < bytes.size(); ++at) {
        to[at] = from[at];
        changed_[at] = 1;
        changedAt_.push_back(at);
    }
}

QModelIndex TMemoryGridModel::CellIndex(std::int64_t address) const
{
    if (address < 0 || address >= static_cast<std::int64_t>(rows_) * ColCount)
        return {};
    return index(static_cast<int>(address / ColCount), static_cast<int>(address % ColCount));
}

std::int64_t TMemoryGridModel::CellAddress(int column, int row) const
{
    if (column < 0 || column >= ColCount || row < 0 || row >= rows_)
        return -1;
    const std::int64_t at = static_cast<std::int64_t>(row) * ColCount + column;
    return at < static_cast<std::int64_t>(bytes_.size()) ? at : -1;
}

int TMemoryGridModel::CellByte(int column, int row) const
{
    const std::int64_t at = CellAddress(column, row);
    return at < 0 ? -1 : bytes_[static_cast<std::size_t>(at)];
}

bool TMemoryGridModel::CellChanged(int column, int row) const
{
    const std::int64_t at = CellAddress(column, row);
    return at >= 0 && changed_[static_cast<std::size_t>(at)] != 0;
}

QString TMemoryGridModel::CellText(int column, int row) const
{
    const int byte = CellByte(column, row);
    return byte < 0 ? QString() : ByteText(static_cast<std::uint8_t>(byte));
}
