#pragma once

#include <QStyledItemDelegate>

namespace tessival {

// Draws the list's cells: names and paths lose their middle when they are too long, so both
// ends stay readable; types and statuses keep their beginning.
class ItemCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace tessival
