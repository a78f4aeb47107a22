#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "UiTestSupport.h"
#include "engine/QualityListing.h"
#include "platform/shell/ScriptedShell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "ui/ControlId.h"
#include "ui/InvalidQualityDialog.h"
#include "ui/QualityDialog.h"
#include "ui/SuggestionDialog.h"

#include <QLabel>

namespace tessival {
namespace {

using test::UsesApp;

class QualityDialogTest : public ::testing::Test, protected UsesApp {
protected:
    ScriptedShell shell;
};

std::vector<std::string> RowCells(QTreeWidget& list, int row) {
    std::vector<std::string> cells;
    for (int column = 0; column < 4; ++column) cells.push_back(list.topLevelItem(row)->text(column).toStdString());
    return cells;
}

TEST_F(QualityDialogTest, ListsTheEncodersRealFormatsAndPreselectsTheLastEqualRow) {
    for (const std::string type : {"MP3", "WAV (PCM)", "WMA"}) {
        const auto offered = ListEncoderQualities(shell, QualityEncoderName(shell, type));
        ASSERT_FALSE(offered.empty()) << type;
        const QualityInfo current = offered[offered.size() / 2];
        int lastEqual = -1;
        for (std::size_t i = 0; i < offered.size(); ++i)
            if (IsSameQuality(offered[i], current)) lastEqual = static_cast<int>(i);

        QualityDialog dialog(shell, type, current);
        ASSERT_TRUE(dialog.Initialize());
        EXPECT_EQ(dialog.windowTitle().toStdString(), "All quality of \"" + type + "\"");
        ASSERT_EQ(dialog.List().topLevelItemCount(), static_cast<int>(offered.size())) << type;
        for (std::size_t i = 0; i < offered.size(); ++i) {
            const auto expected = QualityCells(offered[i]);
            EXPECT_EQ(RowCells(dialog.List(), static_cast<int>(i)),
                      std::vector<std::string>(expected.begin(), expected.end()));
        }
        EXPECT_EQ(dialog.PreselectedIndex(), lastEqual);
        ASSERT_EQ(dialog.List().selectedItems().size(), 1);
        EXPECT_EQ(dialog.List().indexOfTopLevelItem(dialog.List().selectedItems().first()), lastEqual);
        EXPECT_TRUE(shell.messages.empty());
    }
}

TEST_F(QualityDialogTest, FileTypesPreselectTheirOwnChoiceAndSuggestWhatFits) {
    const struct {
        const char* type;
        QualityInfo current;
        std::vector<std::string> cells;
        const char* suggestionStart;
    } cases[] = {
        {"FLAC", {0xF1AC, 2, 96000, 8 * 125, 1, 24, 0}, {"2", "8", "24", "96000"}, "For a FLAC file"},
        // At the source's own bits and frequency.
        {"FLAC", {0xF1AC, 2, 0, 5 * 125, 1, 0, 0}, {"2", "5", "Source", "Source"}, "Bit and Frequency \"Source\" keep"},
        {"LAME MP3", {0x0055, 2, 44100, 190 * 125 + 3, 1, 0, 0}, {"2", "190", "0", "44100"}, "For a LAME MP3 file"},
        {"LAME MP3", {0x0055, 2, 44100, 192 * 125, 1, 0, 0}, {"2", "192", "0", "44100"}, "For a LAME MP3 file"},
        {"Opus", {0x704F, 1, 48000, 64 * 125, 1, 0, 0}, {"1", "64", "0", "48000"}, "For an Opus file"},
    };
    for (const auto& c : cases) {
        QualityDialog dialog(shell, c.type, c.current);
        ASSERT_TRUE(dialog.Initialize()) << c.type;
        ASSERT_GE(dialog.PreselectedIndex(), 0) << c.type;
        EXPECT_EQ(RowCells(dialog.List(), dialog.PreselectedIndex()), c.cells);
        // Every choice reads differently in the list, so a user can tell VBR from CBR and level from level.
        int sameRows = 0;
        for (int row = 0; row < dialog.List().topLevelItemCount(); ++row) sameRows += RowCells(dialog.List(), row) == c.cells;
        EXPECT_EQ(sameRows, 1) << c.type;
        SuggestionDialog suggestion(nullptr, c.type);
        QStringList texts;
        for (QLabel* label : suggestion.findChildren<QLabel*>()) texts << label->text();
        EXPECT_TRUE(texts.join(QLatin1Char('|')).contains(QLatin1String(c.suggestionStart))) << c.type;
    }
}

TEST_F(QualityDialogTest, OkTakesTheSelectedRowAndDoesNothingWithoutOne) {
    QualityDialog dialog(shell, "WAV (PCM)", QualityInfo{});
    ASSERT_TRUE(dialog.Initialize());
    EXPECT_EQ(dialog.PreselectedIndex(), -1);
    dialog.List().clearSelection();
    dialog.accept();
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(dialog.ChosenIndex(), -1);

    QTreeWidgetItem* row = dialog.List().topLevelItem(1);
    row->setSelected(true);
    emit dialog.List().itemDoubleClicked(row, 0);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.ChosenIndex(), 1);
    EXPECT_TRUE(IsSameQuality(dialog.Chosen(), dialog.Qualities()[1]));
}

TEST_F(QualityDialogTest, NamedEncoderThatIsMissingGivesAnEmptyListAndMessage127) {
    QualityDialog dialog(shell, "WAV (No Such Codec))", QualityInfo{});
    ASSERT_TRUE(dialog.Initialize());
    EXPECT_EQ(dialog.List().topLevelItemCount(), 0);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, LoadString(IDS_QUALITY_LIST_FAILED));
}

TEST_F(QualityDialogTest, TypeWithoutEncoderOffersTheDownloadAndEnds) {
    shell.messageAnswers = {IDOK, IDCANCEL};
    QualityDialog dialog(shell, "XYZ", QualityInfo{});
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, LoadString(IDS_DEST_TYPE_GONE));
    EXPECT_EQ(shell.messages[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(shell.opened, std::vector<std::string>{kEncoderDownloadUrl});
    QualityDialog again(shell, "XYZ", QualityInfo{});
    EXPECT_EQ(again.exec(), QDialog::Rejected);
    EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(QualityDialogTest, InvalidQualityChoiceComesFromOkOnly) {
    InvalidQualityDialog dialog;
    qobject_cast<QRadioButton*>(FindControl(dialog, InvalidQualityDialog::kIgnoreItem))->setChecked(true);
    dialog.reject();
    EXPECT_EQ(dialog.Choice(), 0);  // closed without OK
    dialog.accept();
    EXPECT_EQ(dialog.Choice(), 2);
    qobject_cast<QRadioButton*>(FindControl(dialog, InvalidQualityDialog::kUseDefault))->setChecked(true);
    qobject_cast<QPushButton*>(FindControl(dialog, IDOK))->click();
    EXPECT_EQ(dialog.Choice(), 1);
}

}  // namespace
}  // namespace tessival
