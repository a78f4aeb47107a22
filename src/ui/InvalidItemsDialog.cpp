#include "ui/InvalidItemsDialog.h"

#include "joblist/ItemChecks.h"
#include "joblist/ItemTypes.h"
#include "joblist/TextField.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "ui/ControlId.h"
#include "ui/DialogUnits.h"
#include "ui/ReportList.h"

namespace tessival {
namespace {

constexpr std::array<ReportColumn, InvalidItemsDialog::kColumnCount> kColumns = {{
    {"Source", 85},
    {"source type", 90},
    {"dest name", 80},
    {"dest path", 80},
    {"dest type", 80},
    {"qualities", 80},
}};

std::string DestPathCell(const ConvertItem& item, const DriveTypes& drives) {
    std::string cell;
    if (FieldLength(item.destPath) < 3) cell = LoadString(IDS_UNSPECIFIC);
    if (!IsDestDriveUsable(ReadField(item.destPath), drives)) cell = LoadString(IDS_INVALID_DISK);
    return cell;
}

}  // namespace

std::optional<InvalidItemsDialog::RowCells> InvalidItemsDialog::CellsFor(const ConvertItem& item,
                                                                         const DriveTypes& drives) {
    if (IsItemComplete(item, drives) && !IsUnknownSourceType(item)) return std::nullopt;
    const std::string unspecific = LoadString(IDS_UNSPECIFIC);
    auto markIf = [&unspecific](bool missing) { return missing ? unspecific : std::string(); };
    return RowCells{
        ReadField(item.sourceName),
        markIf(IsUnknownSourceType(item)),
        markIf(FieldLength(item.destName) == 0),
        DestPathCell(item, drives),
        markIf(IsDestTypeUnspecified(item)),
        markIf(!HasQuality(item.quality)),
    };
}

InvalidItemsDialog::InvalidItemsDialog(const ItemList& items, const DriveTypes& drives, QWidget* parent)
    : QDialog(parent),
      header_(QStringLiteral("Follow item(s) converting info is incomplete. please goto edit page and fill all info "
                             "field with valid data for each item."),
              this),
      list_(this),
      hint_(QStringLiteral("To complete item info, please close this dialog and double click on item in main "
                           "window then edit item in properties box."),
            this),
      close_(QStringLiteral("Close"), this) {
    const DialogUnits units = ApplyTemplate(*this, QStringLiteral("Invalid Item"), 360, 161);
    units.Place(header_, 7, 7, 346, 20);
    units.Place(list_, 7, 33, 346, 90);
    units.Place(hint_, 7, 131, 275, 23);
    units.Place(close_, 303, 140, 50, 14);
    header_.setWordWrap(true);
    hint_.setWordWrap(true);
    SetControlId(list_, IDC_INVALID_LIST);
    SetControlId(close_, IDCANCEL);
    connect(&close_, &QPushButton::clicked, this, &QDialog::reject);

    SetUpReportList(list_, kColumns);
    items.ForEach([this, &drives](const ConvertItem& item) {
        const auto cells = CellsFor(item, drives);
        if (!cells) return;
        QStringList texts;
        for (const std::string& cell : *cells) texts << QString::fromUtf8(cell);
        list_.addTopLevelItem(new QTreeWidgetItem(texts));  // the list owns its rows
    });
}

}  // namespace tessival
