#pragma once
// The memory grid's cells: a copy of the image's bytes, fifteen to a row, each shown as two
// uppercase hexadecimal digits; cells past the end of the image are empty.

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

class TMemoryGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ColCount = 15;
    static constexpr int InitialRowCount = 5;
    // The cell's byte value as an int, or -1 for a cell past the end of the image.
    static constexpr int ByteRole = Qt::UserRole + 1;

    explicit TMemoryGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The row count for an image of this many bytes: (size div 15) + 1.
    static int RowsForSize(std::int64_t size);
    void SetRowCount(int rows);

    // Replaces every cell's byte at once: one copy and one change notice for the whole grid,
    // however large the image. Bytes beyond the last row are kept but not shown.
    void SetBytes(const std::vector<std::uint8_t>& bytes);

    QString CellText(int column, int row) const;
    int CellByte(int column, int row) const;

private:
    std::vector<std::uint8_t> bytes_;
    int rows_ = InitialRowCount;
};
