#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <vector>

#include "joblist/ConvertItem.h"
#include "ui/ItemEditorWindow.h"
#include "ui/Utf8LengthValidator.h"

namespace tessival {

class MeasuredLoudness;
class Shell;

// The modeless properties window of the selected item. There is no OK or Cancel: every change is
// written into the bound record at once and its row is rewritten.
class ItemPropertiesDialog : public ItemEditorWindow {
public:
    static constexpr int kSourceType = 1003;
    static constexpr int kDestName = 1004;
    static constexpr int kBrowse = 1007;
    static constexpr int kApplyToFollowing = 1011;
    static constexpr int kStatus = 1014;
    static constexpr int kDestType = 1029;
    static constexpr int kDestPath = 1030;
    static constexpr int kMoreTypes = 1031;
    static constexpr int kSelectQuality = 1037;
    static constexpr int kChannels = 1039;
    static constexpr int kBits = 1040;
    static constexpr int kFrequency = 1041;
    static constexpr int kBitRate = 1042;
    static constexpr int kNaming = 1229;  // our own, below the quality values
    static constexpr int kLoudness = 1230;  // our own, below the status

    // measured: what items converted in this session measured, shown under the status; may be null.
    ItemPropertiesDialog(Shell& shell, QWidget* parent = nullptr, const MeasuredLoudness* measured = nullptr);

    void SetItem(ConvertItem* item) override;
    ConvertItem* Item() const override { return item_; }
    void SetReadOnly(bool readOnly) override;
    void ShowStatus(const QString& status) override { status_.setText(status); }

    // The selected destination type is a separator, empty or "UNSPECIFIED".
    bool IsTypeUnusable() const;

    // Handlers, as the controls call them.
    void OnSourceTypeChanged();
    void OnDestNameChanged();
    void OnDestPathChanged();
    void OnDestTypeChanged();
    void OnBrowse();
    void OnSelectQuality();
    void OnMoreTypes();

    // Closing only hides the window.
    void accept() override { hide(); }

    // Case-insensitive prefix search from the second entry, wrapping to the first last; -1 when
    // nothing matches.
    static int FindEntry(const QComboBox& combo, const QString& prefix);

protected:
    // Enter hides the window too, as its close box and Escape do.
    void keyPressEvent(QKeyEvent* event) override;
    void FocusFirstField() override;

private:
    void PlaceControls();
    void FillCombos();
    void ConnectHandlers();
    void ShowQualityLabels();
    void ShowLoudness();
    void UpdateEnabling();
    bool Editable() const { return item_ && !ReadOnly(); }

    Shell& shell_;
    const MeasuredLoudness* measured_;
    ConvertItem* item_ = nullptr;
    // Before the edits that use them; an edit forgets a validator that goes first.
    Utf8LengthValidator destNameLimit_{sizeof(ConvertItem::destName) - 1, nullptr};
    Utf8LengthValidator destPathLimit_{sizeof(ConvertItem::destPath) - 1, nullptr};
    QGroupBox sourceGroup_;
    QLabel sourceTypeLabel_;
    QComboBox sourceType_;
    QGroupBox destGroup_;
    QLabel destNameLabel_;
    QLineEdit destName_;
    QLabel destPathLabel_;
    QLineEdit destPath_;
    QPushButton browse_;
    QLabel destTypeLabel_;
    QComboBox destType_;
    std::array<QLabel, 4> qualityCaptions_;
    std::array<QLabel, 4> qualityValues_;  // channels, bits, frequency, kbps
    QPushButton selectQuality_;
    QPushButton moreTypes_;
    QPushButton applyToFollowing_;
    QPushButton naming_;
    QLabel status_;
    QLabel loudness_;
};

}  // namespace tessival
