#include "ui/ItemCellDelegate.h"

#include "ui/BidiIsolated.h"

namespace tessival {
namespace {

// Source name, dest name and dest path.
bool IsNameColumn(int column) { return column == 0 || column == 2 || column == 4; }

}  // namespace

void ItemCellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->textElideMode = IsNameColumn(index.column()) ? Qt::ElideMiddle : Qt::ElideRight;
    // A right-to-left name keeps its own order inside the left-to-right list.
    if (IsNameColumn(index.column()) && !option->text.isEmpty()) option->text = BidiIsolated(option->text);
}

}  // namespace tessival
