#include "views/MemoryCellDelegate.h"

#include "common/Tints.h"
#include "views/MemoryGridModel.h"

#include <QPainter>

TMemoryCellDelegate::TMemoryCellDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

void TMemoryCellDelegate::Prepare(const QFont& font) const
{
    if (prepared_ && font == preparedFont_)
        return;
    for (int b = 0; b < 256; ++b) {
        QStaticText& text = texts_[static_cast<std::size_t>(b)];
        text.setText(TMemoryGridModel::ByteText(static_cast<std::uint8_t>(b)));
        text.setTextFormat(Qt::PlainText);
        text.prepare(QTransform(), font);
    }
    preparedFont_ = font;
    prepared_ = true;
}

void TMemoryCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    const QPalette::ColorGroup group =
        option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
    const bool selected = option.state & QStyle::State_Selected;
    const auto* grid = qobject_cast<const TMemoryGridModel*>(index.model());
    if (selected) {
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    } else if (grid ? grid->CellChanged(index.column(), index.row())
                    : index.data(TMemoryGridModel::ChangedRole).toBool()) {
        painter->fillRect(option.rect, ChangeTint(option.palette, group));
    }
    const int byte = grid ? grid->CellByte(index.column(), index.row())
                          : index.data(TMemoryGridModel::ByteRole).toInt();
    if (byte < 0 || byte > 255)
        return;
    Prepare(option.font);
    const QStaticText& text = texts_[static_cast<std::size_t>(byte)];
    const QSizeF size = text.size();
    // Two digits fit a cell, so the text is centred without clipping.
    const QPointF at(option.rect.x() + (option.rect.width() - size.width()) / 2.0,
                     option.rect.y() + (option.rect.height() - size.height()) / 2.0);
    painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawStaticText(at, text);
}
