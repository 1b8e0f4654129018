#pragma once
// The memory grid: fifteen columns of 15 x 15 pixel cells without headers, grid lines between
// all cells, a range of cells selectable but none editable. It shows a copy of the image's
// bytes and highlights the byte being executed without ever scrolling on its own.

#include <QTableView>

#include <cstdint>

class TMemoryGridModel;
class TMemoryStream;

class TMemoryGridView : public QTableView {
    Q_OBJECT
public:
    explicit TMemoryGridView(QWidget* parent = nullptr);

    TMemoryGridModel* Cells() const { return cells_; }

    // Gives the grid the rows for an image of this many bytes: (size div 15) + 1.
    void SizeFor(std::int64_t imageSize);
    // A new run on this image: the grid is sized for it and shows it with nothing marked as
    // changed and nothing highlighted until the run's first step.
    void BeginRun(const TMemoryStream& image);
    // Writes the whole image into the cells and blanks the rest; the image's position, the
    // worker's program counter, is not moved.
    void ShowImage(const TMemoryStream& image);
    // Selects exactly the cell of this address, or nothing when the grid has no such cell.
    void HighlightAddress(std::int64_t address);

private:
    TMemoryGridModel* cells_ = nullptr;
};
