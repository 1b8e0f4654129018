#include "views/MemoryGridView.h"

#include "emulator/MemoryStream.h"
#include "views/MemoryCellDelegate.h"
#include "views/MemoryGridModel.h"

#include <QHeaderView>

TMemoryGridView::TMemoryGridView(QWidget* parent)
    : QTableView(parent), cells_(new TMemoryGridModel(this))
{
    setModel(cells_);
    setItemDelegate(new TMemoryCellDelegate(this));
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->hide();
        header->setMinimumSectionSize(1);
        header->setDefaultSectionSize(15);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    // The highlight follows the worker through memory; the view must stay where the user
    // put it, so nothing may scroll it on our behalf.
    setAutoScroll(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void TMemoryGridView::SizeFor(std::int64_t imageSize)
{
    cells_->SetRowCount(TMemoryGridModel::RowsForSize(imageSize));
}

void TMemoryGridView::BeginRun(const TMemoryStream& image)
{
    SizeFor(image.Size());
    // What the run's first step changes is measured from the image shown here.
    cells_->BeginRun();
    ShowImage(image);
    // The highlight belongs to the run before: this one has fetched nothing yet.
    HighlightAddress(-1);
}

void TMemoryGridView::ShowImage(const TMemoryStream& image)
{
    cells_->SetBytes(image.Bytes());
}

void TMemoryGridView::HighlightAddress(std::int64_t address)
{
    const QModelIndex cell = cells_->CellIndex(address);
    if (cell.isValid())
        selectionModel()->select(QItemSelection(cell, cell), QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->clearSelection();
}
