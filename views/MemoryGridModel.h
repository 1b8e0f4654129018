#pragma once
// The memory grid's cells: a copy of the image's bytes, fifteen to a row, each shown as two
// uppercase hexadecimal digits; cells past the end of the image are empty. Cells whose byte
// differs from the previous refresh of the same run are marked as changed until the next one.

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
    // True for a cell whose byte the latest refresh changed (CellChanged()).
    static constexpr int ChangedRole = Qt::UserRole + 2;

    explicit TMemoryGridModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The row count for an image of this many bytes: (size div 15) + 1.
    static int RowsForSize(std::int64_t size);
    void SetRowCount(int rows);

    // Replaces every cell's byte at once: one pass over the bytes and one change notice for
    // the whole grid, however large the image. Bytes beyond the last row are kept but not
    // shown. Marks the bytes that differ from the previous call of the same run (a byte the
    // image grew by counts) and clears the marks of the previous call.
    void SetBytes(const std::vector<std::uint8_t>& bytes);
    // A new run: clears the marks, and the next SetBytes() marks nothing.
    void BeginRun();

    // The cell of the byte at this address (column address mod 15, row address div 15), or an
    // invalid index for a negative address or one past the grid's last row.
    QModelIndex CellIndex(std::int64_t address) const;

    // A byte as the grid shows it: two uppercase hexadecimal digits.
    static const QString& ByteText(std::uint8_t byte);

    QString CellText(int column, int row) const;
    int CellByte(int column, int row) const;
    // Whether the latest SetBytes() changed this cell's byte; false outside the image.
    bool CellChanged(int column, int row) const;
    // The addresses the latest SetBytes() marked, in increasing order.
    const std::vector<std::size_t>& ChangedAddresses() const { return changedAt_; }

private:
    // Copies into bytes_ only what differs, marking it; bytes_ is as long as `bytes` after.
    void CopyMarkingChanges(const std::vector<std::uint8_t>& bytes);
    void ClearMarks();
    // The cell's address, or -1 outside the grid or past the end of the image.
    std::int64_t CellAddress(int column, int row) const;

    std::vector<std::uint8_t> bytes_;
    // One flag per byte of bytes_ and the list of those set, so that clearing costs only as
    // much as there are marks.
    std::vector<std::uint8_t> changed_;
    std::vector<std::size_t> changedAt_;
    bool compare_ = false; // a refresh of this run came before: the next one marks changes
    int rows_ = InitialRowCount;
};
