#pragma once

#include <QLabel>
#include <QPushButton>
#include <array>

#include "joblist/ItemColumns.h"
#include "ui/ItemEditorWindow.h"

namespace tessival {

// Stands in for the item properties window until it is built: shows the bound item's cells
// read-only and offers "Apply to follow items". It never writes into the record.
class PlaceholderPropertiesDialog : public ItemEditorWindow {
public:
    explicit PlaceholderPropertiesDialog(QWidget* parent = nullptr);

    void SetItem(ConvertItem* item) override;
    ConvertItem* Item() const override { return item_; }

    QString ShownText(int column) const;

private:
    ConvertItem* item_ = nullptr;
    std::array<QLabel, kItemColumnCount> values_;
    QPushButton applyButton_;
};

}  // namespace tessival
