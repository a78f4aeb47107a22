#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <array>
#include <optional>
#include <string>

#include "joblist/ItemList.h"
#include "platform/shell/DriveTypes.h"

namespace tessival {

// Lists the items that keep a run from starting, marking each missing or unusable field. It
// changes no item; its content is computed once, when it is built.
class InvalidItemsDialog : public QDialog {
public:
    static constexpr int kColumnCount = 6;
    using RowCells = std::array<std::string, kColumnCount>;

    InvalidItemsDialog(const ItemList& items, const DriveTypes& drives, QWidget* parent = nullptr);

    // The row of an item, or nothing when the item is complete and of a known source type.
    static std::optional<RowCells> CellsFor(const ConvertItem& item, const DriveTypes& drives);

    const QTreeWidget& List() const { return list_; }

private:
    QLabel header_;
    QTreeWidget list_;
    QLabel hint_;
    QPushButton close_;
};

}  // namespace tessival
