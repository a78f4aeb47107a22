#include "ui/QualityDialog.h"

#include "engine/GraphToolkit.h"
#include "engine/QualityListing.h"
#include "platform/shell/Shell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "ui/ControlId.h"
#include "ui/DialogUnits.h"
#include "ui/ReportList.h"
#include "ui/SuggestionDialog.h"

namespace tessival {
namespace {

constexpr ReportColumn kColumns[] = {{"Channel", 70}, {"kbps", 60}, {"Bit", 50}, {"Frequency", 75}};

QString TitleFor(const std::string& destType) {
    std::string title = LoadString(IDS_QUALITY_TITLE);
    if (const auto at = title.find("%s"); at != std::string::npos) title.replace(at, 2, destType);
    return QString::fromStdString(title);
}

}  // namespace

QualityDialog::QualityDialog(Shell& shell, std::string destType, const QualityInfo& current,
                             std::shared_ptr<media::IBaseFilter> encoder, QWidget* parent,
                             std::shared_ptr<const media::FilterRegistry> registry)
    : QDialog(parent),
      shell_(shell),
      destType_(std::move(destType)),
      current_(current),
      encoder_(std::move(encoder)),
      registry_(std::move(registry)),
      list_(this),
      suggestion_(QStringLiteral("Need Suggestion ?"), this),
      ok_(QStringLiteral("OK"), this),
      close_(QStringLiteral("Close"), this) {
    const DialogUnits units = ApplyTemplate(*this, QStringLiteral("Select a quality"), 213, 195);
    units.Place(list_, 7, 7, 199, 160);
    units.Place(suggestion_, 7, 174, 83, 14);
    units.Place(ok_, 101, 174, 50, 14);
    units.Place(close_, 156, 174, 50, 14);
    SetControlId(list_, kList);
    SetControlId(suggestion_, kSuggestion);
    SetControlId(ok_, IDOK);
    SetControlId(close_, IDCANCEL);
    SetUpReportList(list_, kColumns);
    ok_.setDefault(true);
    connect(&ok_, &QPushButton::clicked, this, &QualityDialog::accept);
    connect(&close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(&list_, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(&suggestion_, &QPushButton::clicked, this, [this] {
        SuggestionDialog suggestion(nullptr, destType_);
        suggestion.exec();
    });
}

int QualityDialog::exec() {
    if (!Initialize()) return Rejected;
    return QDialog::exec();
}

bool QualityDialog::Initialize() {
    setWindowTitle(TitleFor(destType_));
    preselectedIndex_ = -1;
    qualities_.clear();
    list_.clear();
    const std::string encoderName = QualityEncoderName(shell_, destType_, registry_);
    if (encoderName.empty()) {
        if (shell_.MessageBox(LoadString(IDS_DEST_TYPE_GONE), MessageButtons::OkCancel) == IDOK)
            shell_.ShellOpen(kEncoderDownloadUrl);
        return false;
    }
    if (!ListEncoderFormats(encoderName)) shell_.MessageBox(LoadString(IDS_QUALITY_LIST_FAILED));
    ShowPreselection();
    return true;
}

bool QualityDialog::ListEncoderFormats(const std::string& encoderName) {
    GraphToolkit toolkit(shell_, registry_);
    // A supplied encoder belongs to the running graph: it is only read here.
    const auto encoder = encoder_ ? encoder_ : AddQualityEncoder(toolkit, encoderName);
    const std::vector<QualityInfo> qualities = encoder ? toolkit.QualitiesOf(encoder) : std::vector<QualityInfo>{};
    for (const QualityInfo& quality : qualities) AddRow(quality);
    return !qualities.empty();
}

void QualityDialog::AddRow(const QualityInfo& quality) {
    QStringList texts;
    for (const std::string& cell : QualityCells(quality)) texts << QString::fromStdString(cell);
    list_.addTopLevelItem(new QTreeWidgetItem(texts));  // the list owns its rows
    qualities_.push_back(quality);
    // The last equal row wins.
    if (IsSameQuality(quality, current_)) preselectedIndex_ = static_cast<int>(qualities_.size()) - 1;
}

void QualityDialog::ShowPreselection() {
    QTreeWidgetItem* row = list_.topLevelItem(preselectedIndex_);
    if (!row) return;
    list_.setCurrentItem(row);
    row->setSelected(true);
    list_.scrollToItem(row, QAbstractItemView::EnsureVisible);
}

void QualityDialog::accept() {
    const QList<QTreeWidgetItem*> selected = list_.selectedItems();
    if (selected.isEmpty()) return;
    chosenIndex_ = list_.indexOfTopLevelItem(selected.first());
    QDialog::accept();
}

QualityInfo QualityDialog::Chosen() const {
    if (chosenIndex_ < 0 || chosenIndex_ >= static_cast<int>(qualities_.size())) return QualityInfo{};
    return qualities_[static_cast<std::size_t>(chosenIndex_)];
}

}  // namespace tessival
