#include "ui/ItemPropertiesDialog.h"

#include <QKeyEvent>

#include "engine/InstalledDestTypes.h"
#include "joblist/DestTypes.h"
#include "joblist/ItemTypes.h"
#include "joblist/TextField.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "ui/BidiIsolated.h"
#include "ui/ControlId.h"
#include "ui/DialogUnits.h"
#include "ui/FolderBrowser.h"
#include "ui/MeasuredLoudness.h"
#include "ui/MoreTypesDialog.h"
#include "ui/QualityDialog.h"
#include "ui/SkinStyle.h"

namespace tessival {
namespace {

// Entries after the built-in destination types, before the installed compressors.
constexpr const char* kDestTypeSeparators[] = {"", "--------All third party types----------", ""};

constexpr const char* kQualityCaptions[] = {"Channel:", "Bit:", "Frequency:", "Bit rate:"};

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

ItemPropertiesDialog::ItemPropertiesDialog(Shell& shell, QWidget* parent, const MeasuredLoudness* measured)
    : ItemEditorWindow(parent),
      shell_(shell),
      measured_(measured),
      sourceGroup_(QStringLiteral("Source"), this),
      sourceTypeLabel_(QStringLiteral("Source type:"), this),
      sourceType_(this),
      destGroup_(QStringLiteral("Destination Name, Type and Quality"), this),
      destNameLabel_(QStringLiteral("Dest name:"), this),
      destName_(this),
      destPathLabel_(QStringLiteral("Dest path:"), this),
      destPath_(this),
      browse_(QStringLiteral("..."), this),
      destTypeLabel_(QStringLiteral("Dest type:"), this),
      destType_(this),
      selectQuality_(QStringLiteral("Select Dest Qualities"), this),
      moreTypes_(QStringLiteral("How to get more types"), this),
      applyToFollowing_(QStringLiteral("Apply to follow items"), this),
      naming_(QString::fromStdString(LoadString(IDS_NAMING_BUTTON)), this),
      status_(this),
      loudness_(this) {
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);
    PlaceControls();
    FillCombos();
    ConnectHandlers();
    SetItem(nullptr);
}

void ItemPropertiesDialog::PlaceControls() {
    const DialogUnits units = ApplyTemplate(*this, QStringLiteral("\"abc.wav\" Properties"), 213, 227);
    units.Place(sourceGroup_, 7, 7, 199, 26);
    units.Place(sourceTypeLabel_, 13, 19, 49, 8);
    units.Place(sourceType_, 65, 15, 136, 12);
    units.Place(destGroup_, 7, 34, 199, 112);
    units.Place(destNameLabel_, 13, 49, 41, 8);
    units.Place(destName_, 65, 46, 123, 12);
    units.Place(destPathLabel_, 13, 63, 41, 8);
    units.Place(destPath_, 65, 61, 122, 12);
    units.Place(browse_, 188, 60, 13, 12);
    units.Place(destTypeLabel_, 13, 81, 41, 8);
    units.Place(destType_, 65, 77, 134, 12);
    constexpr int kCaptionRects[4][4] = {{17, 100, 41, 8}, {110, 98, 37, 8}, {17, 114, 41, 8}, {110, 113, 37, 8}};
    constexpr int kValueRects[4][4] = {{65, 96, 40, 12}, {157, 95, 44, 12}, {65, 111, 40, 12}, {157, 109, 44, 12}};
    constexpr int kValueIds[4] = {kChannels, kBits, kFrequency, kBitRate};
    for (std::size_t i = 0; i < 4; ++i) {
        QLabel& caption = qualityCaptions_[i];
        caption.setParent(this);
        caption.setText(QString::fromLatin1(kQualityCaptions[i]));
        caption.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        units.Place(caption, kCaptionRects[i][0], kCaptionRects[i][1], kCaptionRects[i][2], kCaptionRects[i][3]);
        QLabel& value = qualityValues_[i];
        value.setParent(this);
        MakeSunken(value);
        units.Place(value, kValueRects[i][0], kValueRects[i][1], kValueRects[i][2], kValueRects[i][3]);
        SetControlId(value, kValueIds[i]);
    }
    units.Place(selectQuality_, 108, 127, 93, 14);
    units.Place(moreTypes_, 7, 152, 90, 14);
    units.Place(applyToFollowing_, 108, 152, 93, 14);
    units.Place(naming_, 13, 127, 90, 14);
    units.Place(status_, 7, 169, 199, 31);
    MakeSunken(status_);
    status_.setWordWrap(true);
    status_.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    units.Place(loudness_, 7, 203, 199, 18);
    loudness_.setWordWrap(true);
    loudness_.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Each field is named by its caption, for the eye and for a screen reader.
    sourceTypeLabel_.setBuddy(&sourceType_);
    destNameLabel_.setBuddy(&destName_);
    destPathLabel_.setBuddy(&destPath_);
    destTypeLabel_.setBuddy(&destType_);
    destName_.setMaxLength(79);
    destPath_.setMaxLength(254);
    destName_.setValidator(&destNameLimit_);
    destPath_.setValidator(&destPathLimit_);
    for (QPushButton* button : {&browse_, &selectQuality_, &moreTypes_, &applyToFollowing_, &naming_})
        button->setAutoDefault(false);

    SetControlId(sourceType_, kSourceType);
    SetControlId(destName_, kDestName);
    SetControlId(destPath_, kDestPath);
    SetControlId(browse_, kBrowse);
    SetControlId(destType_, kDestType);
    SetControlId(selectQuality_, kSelectQuality);
    SetControlId(moreTypes_, kMoreTypes);
    SetControlId(applyToFollowing_, kApplyToFollowing);
    SetControlId(naming_, kNaming);
    SetControlId(status_, kStatus);
    SetControlId(loudness_, kLoudness);
}

void ItemPropertiesDialog::FillCombos() {
    for (const SourceTypeInfo& type : SourceTypes()) sourceType_.addItem(Text(type.description));
    const DestTypeList types = InstalledDestTypes(shell_);
    const auto addAll = [this](const std::vector<std::string>& group) {
        for (const std::string& type : group) destType_.addItem(QString::fromStdString(type));
    };
    destType_.addItem(Text(kDestUnspecified));
    addAll(types.builtIn);
    for (const char* entry : kDestTypeSeparators) destType_.addItem(QString::fromLatin1(entry));
    addAll(types.compressors);
    destType_.addItem(QString());
    destType_.addItem(QString::fromStdString(LoadString(IDS_FILE_TYPES_SEPARATOR)));
    destType_.addItem(QString());
    addAll(types.files);
}

void ItemPropertiesDialog::ConnectHandlers() {
    connect(&sourceType_, &QComboBox::activated, this, [this] { OnSourceTypeChanged(); });
    connect(&destType_, &QComboBox::activated, this, [this] { OnDestTypeChanged(); });
    connect(&destName_, &QLineEdit::textEdited, this, [this] { OnDestNameChanged(); });
    connect(&destPath_, &QLineEdit::textEdited, this, [this] { OnDestPathChanged(); });
    connect(&browse_, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(&selectQuality_, &QPushButton::clicked, this, [this] { OnSelectQuality(); });
    connect(&moreTypes_, &QPushButton::clicked, this, [this] { OnMoreTypes(); });
    connect(&applyToFollowing_, &QPushButton::clicked, this, [this] { RequestApplyToFollowing(); });
    connect(&naming_, &QPushButton::clicked, this, [this] { RequestNaming(); });
}

int ItemPropertiesDialog::FindEntry(const QComboBox& combo, const QString& prefix) {
    const int count = combo.count();
    for (int step = 1; step <= count; ++step) {
        const int index = step % count;
        if (combo.itemText(index).startsWith(prefix, Qt::CaseInsensitive)) return index;
    }
    return -1;
}

void ItemPropertiesDialog::SetItem(ConvertItem* item) {
    item_ = item;
    if (item) {
        setWindowTitle(QStringLiteral("\"%1\"  Properties").arg(BidiIsolated(Text(FieldView(item->sourceName)))));
        destName_.setText(Text(FieldView(item->destName)));
        destPath_.setText(Text(FieldView(item->destPath)));
        if (const int index = FindEntry(sourceType_, Text(FieldView(item->sourceType))); index >= 0)
            sourceType_.setCurrentIndex(index);
        if (const int index = FindEntry(destType_, Text(FieldView(item->destType))); index >= 0)
            destType_.setCurrentIndex(index);
        status_.setText(Text(FieldView(item->status)));
    } else {
        destName_.clear();
        destPath_.clear();
        status_.clear();
    }
    ShowQualityLabels();
    ShowLoudness();
    UpdateEnabling();
}

void ItemPropertiesDialog::ShowLoudness() {
    const media::LoudnessReading* reading = item_ && measured_ ? measured_->Find(*item_) : nullptr;
    loudness_.setText(reading ? MeasuredLoudness::Describe(*reading) : QString());
}

void ItemPropertiesDialog::SetReadOnly(bool readOnly) {
    ItemEditorWindow::SetReadOnly(readOnly);
    UpdateEnabling();
}

void ItemPropertiesDialog::UpdateEnabling() {
    const bool editable = Editable();
    sourceType_.setEnabled(editable);
    destType_.setEnabled(editable);
    destName_.setReadOnly(!editable);
    destPath_.setReadOnly(!editable);
    browse_.setEnabled(editable);
    applyToFollowing_.setEnabled(editable);
    naming_.setEnabled(editable);
    selectQuality_.setEnabled(editable && !IsTypeUnusable());
}

bool ItemPropertiesDialog::IsTypeUnusable() const {
    const QString entry = destType_.currentText();
    return entry.size() < 3 || entry.startsWith(QLatin1Char('-')) || entry.startsWith(QLatin1String("UNSPECIFIED"));
}

void ItemPropertiesDialog::ShowQualityLabels() {
    const QualityInfo quality = item_ ? item_->quality : QualityInfo{};
    // Channels, bits, frequency, kbps, as the quality list shows them.
    const auto cells = QualityCells(quality);
    qualityValues_[0].setText(QString::fromStdString(cells[0]));
    qualityValues_[1].setText(QString::fromStdString(cells[2]));
    qualityValues_[2].setText(QString::fromStdString(cells[3]));
    qualityValues_[3].setText(QString::fromStdString(cells[1]));
}

void ItemPropertiesDialog::OnSourceTypeChanged() {
    if (!Editable()) return;
    WriteField(item_->sourceType, sourceType_.currentText().left(3).toStdString());
    ItemChanged();
}

void ItemPropertiesDialog::OnDestNameChanged() {
    if (!Editable()) return;
    WriteField(item_->destName, destName_.text().toStdString());
    ShowLoudness();  // another output than the one measured
    ItemChanged();
}

void ItemPropertiesDialog::OnDestPathChanged() {
    if (!Editable()) return;
    WriteField(item_->destPath, destPath_.text().toStdString());
    ShowLoudness();  // another output than the one measured
    ItemChanged();
}

void ItemPropertiesDialog::OnDestTypeChanged() {
    if (!Editable()) return;
    if (IsTypeUnusable()) {
        selectQuality_.setEnabled(false);
        return;
    }
    selectQuality_.setEnabled(true);
    SetDestType(*item_, destType_.currentText().toStdString());
    destName_.setText(Text(FieldView(item_->destName)));
    ShowQualityLabels();
    ShowLoudness();
    ItemChanged();
}

void ItemPropertiesDialog::OnBrowse() {
    if (!Editable()) return;
    FolderBrowser browser;
    browser.title = "Folder";
    if (!browser.Browse(shell_)) return;
    destPath_.setText(QString::fromStdString(browser.path));
    OnDestPathChanged();
}

void ItemPropertiesDialog::OnSelectQuality() {
    if (!Editable()) return;
    ConvertItem* const target = item_;
    QualityDialog dialog(shell_, destType_.currentText().toStdString(), target->quality, nullptr, this);
    // The window may have been bound elsewhere while the dialog was open.
    if (dialog.exec() != QDialog::Accepted || item_ != target || !Editable()) return;
    item_->quality = dialog.Chosen();
    ShowQualityLabels();
    ItemChanged();
}

void ItemPropertiesDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    ItemEditorWindow::keyPressEvent(event);
}

void ItemPropertiesDialog::FocusFirstField() {
    // The source type is disabled while a run goes on; the name still takes focus to be read.
    QWidget& first = sourceType_.isEnabled() ? static_cast<QWidget&>(sourceType_) : destName_;
    first.setFocus(Qt::ActiveWindowFocusReason);
}

void ItemPropertiesDialog::OnMoreTypes() {
    MoreTypesDialog dialog(shell_, this);
    dialog.exec();
}

}  // namespace tessival
