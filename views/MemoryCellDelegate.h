#pragma once
// Draws the memory grid's cells. The grid is repainted after every step of a run, so a cell
// is drawn with prepared text for its byte instead of the style's general item painting.
// A cell the latest refresh changed gets the change tint behind its text.

#include <QStaticText>
#include <QStyledItemDelegate>

#include <array>

class TMemoryCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TMemoryCellDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    void Prepare(const QFont& font) const;

    mutable std::array<QStaticText, 256> texts_;
    mutable QFont preparedFont_;
    mutable bool prepared_ = false;
};
