#include "ui/PlaceholderPropertiesDialog.h"

#include <QFormLayout>
#include <QVBoxLayout>

#include "joblist/TextField.h"

namespace tessival {

PlaceholderPropertiesDialog::PlaceholderPropertiesDialog(QWidget* parent)
    : ItemEditorWindow(parent), applyButton_(QStringLiteral("Apply to follow items")) {
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const auto& columns = ItemColumns();
    for (std::size_t i = 0; i < values_.size(); ++i) {
        values_[i].setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(QString::fromUtf8(columns[i].header.data(), columns[i].header.size()) + ':', &values_[i]);
    }
    layout->addLayout(form);
    layout->addWidget(&applyButton_, 0, Qt::AlignRight);
    connect(&applyButton_, &QPushButton::clicked, this, [this] { RequestApplyToFollowing(); });
    SetItem(nullptr);
}

void PlaceholderPropertiesDialog::SetItem(ConvertItem* item) {
    item_ = item;
    const auto cells = item ? ItemCells(*item) : std::array<std::string, kItemColumnCount>{};
    for (std::size_t i = 0; i < values_.size(); ++i) values_[i].setText(QString::fromUtf8(cells[i]));
    setWindowTitle(item ? QString::fromUtf8(ReadField(item->sourceName)) : QString());
    applyButton_.setEnabled(item != nullptr);
}

QString PlaceholderPropertiesDialog::ShownText(int column) const {
    if (column < 0 || column >= kItemColumnCount) return QString();
    return values_[static_cast<std::size_t>(column)].text();
}

}  // namespace tessival
