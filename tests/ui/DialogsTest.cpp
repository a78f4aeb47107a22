#include <gtest/gtest.h>

#include <QDir>
#include <QPushButton>
#include <QTest>

#include "UiTestSupport.h"
#include "joblist/ItemFactory.h"
#include "joblist/TextField.h"
#include "platform/shell/ScriptedShell.h"
#include "res/ResourceIds.h"
#include "support/TempDir.h"
#include "ui/AboutDialog.h"
#include "ui/HelpWindow.h"
#include "ui/ControlId.h"
#include "ui/DialogUnits.h"
#include "ui/InvalidItemsDialog.h"
#include "ui/MoreTypesDialog.h"
#include "ui/SuggestionDialog.h"

namespace tessival {
namespace {

using Cells = InvalidItemsDialog::RowCells;

constexpr const char* kUnspecific = "Unspecific";
constexpr const char* kInvalidDisk = "Invalid Disk(CDROM?).";

ConvertItem CompleteItem(const std::string& destPath = "/out/") {
    ConvertItem item = MakeSingleFileItem("/music/song.mp3");
    WriteField(item.destType, "WAV");
    WriteField(item.destPath, destPath);
    item.quality.nChannels = 2;
    return item;
}

class InvalidItemCellsTest : public ::testing::Test {
protected:
    void SetUp() override { drives.cdromPrefixes = {"/media/cdrom"}; }
    test::FakeDrives drives;
};

TEST_F(InvalidItemCellsTest, CompleteItemOfKnownTypeIsLeftOut) {
    EXPECT_FALSE(InvalidItemsDialog::CellsFor(CompleteItem(), drives).has_value());
}

TEST_F(InvalidItemCellsTest, NewFileItemLacksOnlyTypeAndQuality) {
    const auto cells = InvalidItemsDialog::CellsFor(MakeSingleFileItem("/music/song.mp3"), drives);
    ASSERT_TRUE(cells);
    EXPECT_EQ(*cells, (Cells{"song.mp3", "", "", "", kUnspecific, kUnspecific}));
}

TEST_F(InvalidItemCellsTest, DiscAndCaptureItemsHaveNoUsableDestination) {
    const auto disc = InvalidItemsDialog::CellsFor(MakeDiscItem("/media/cdrom/Track01.cda", "Track01.cda", "cda"), drives);
    ASSERT_TRUE(disc);
    EXPECT_EQ((*disc)[3], kInvalidDisk);
    const auto capture = InvalidItemsDialog::CellsFor(MakeCaptureItem("Line In", 0, 1), drives);
    ASSERT_TRUE(capture);
    EXPECT_EQ((*capture)[3], kInvalidDisk);
    EXPECT_EQ((*capture)[1], "");
}

TEST_F(InvalidItemCellsTest, DestinationOnACdRomIsAnInvalidDisk) {
    const auto cells = InvalidItemsDialog::CellsFor(CompleteItem("/media/cdrom/"), drives);
    ASSERT_TRUE(cells);
    EXPECT_EQ(*cells, (Cells{"song.mp3", "", "", kInvalidDisk, "", ""}));
}

TEST_F(InvalidItemCellsTest, ShortPathOnAnOrdinaryDriveIsUnspecific) {
    const auto cells = InvalidItemsDialog::CellsFor(CompleteItem("/o"), drives);
    ASSERT_TRUE(cells);
    EXPECT_EQ((*cells)[3], kUnspecific);
}

TEST_F(InvalidItemCellsTest, UnknownTypeIsListedEvenWhenComplete) {
    ConvertItem item = CompleteItem();
    WriteField(item.sourceType, "UNK");
    const auto cells = InvalidItemsDialog::CellsFor(item, drives);
    ASSERT_TRUE(cells);
    EXPECT_EQ(*cells, (Cells{"song.mp3", kUnspecific, "", "", "", ""}));
}

TEST_F(InvalidItemCellsTest, ShortDestTypeIsListedButItsCellStaysEmpty) {
    ConvertItem item = CompleteItem();
    WriteField(item.destType, "WA");
    WriteField(item.destName, "");
    const auto cells = InvalidItemsDialog::CellsFor(item, drives);
    ASSERT_TRUE(cells);
    EXPECT_EQ(*cells, (Cells{"song.mp3", "", kUnspecific, "", "", ""}));
}

TEST_F(InvalidItemCellsTest, DialogListsIncompleteItemsInListOrder) {
    test::App();
    ItemList items;
    items.Append(MakeSingleFileItem("/music/first.wav"));
    items.Append(CompleteItem());
    items.Append(MakeCaptureItem("Mic", 1, 0));
    InvalidItemsDialog dialog(items, drives);
    const QTreeWidget& list = dialog.List();
    ASSERT_EQ(list.columnCount(), 6);
    EXPECT_EQ(list.headerItem()->text(5), QStringLiteral("qualities"));
    EXPECT_EQ(list.columnWidth(0), 85);
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.topLevelItem(0)->text(0), QStringLiteral("first.wav"));
    EXPECT_EQ(list.topLevelItem(1)->text(0), QStringLiteral("Mic"));
    EXPECT_EQ(list.topLevelItem(1)->text(3), QString::fromLatin1(kInvalidDisk));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Invalid Item"));
    EXPECT_EQ(FindControl(dialog, IDC_INVALID_LIST), &list);
}

TEST(DialogUnitsTest, ConvertsWithTheFontMetrics) {
    const DialogUnits units(6, 13);
    EXPECT_EQ(units.ToPixels(7, 7, 20, 20), QRect(QPoint(10, 11), QPoint(39, 42)));
    EXPECT_EQ(units.ToPixelsX(201), 301);
    EXPECT_EQ(units.ToPixelsY(159), 258);
}

class DialogTest : public ::testing::Test, protected test::UsesApp {
protected:
    QPushButton* ButtonOf(QWidget& dialog, int id) { return qobject_cast<QPushButton*>(FindControl(dialog, id)); }
    ScriptedShell shell;
    test::TempDir startup;
};

TEST_F(DialogTest, HelpOpensInAWindowOfOurOwnWhenNothingOpensPages) {
    const std::string help = startup.Path() + "/tessival.html";
    test::WriteBytes(help, "<html><head><title>Tessival Help</title></head><body><h1>Building a list</h1></body></html>");
    shell.openSucceeds = false;
    AboutDialog about(shell, QString::fromStdString(help));
    about.show();
    QTest::mouseClick(ButtonOf(about, IDC_HELP_TOPIC), Qt::LeftButton);
    const auto* window = about.findChild<HelpWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->Browser().toPlainText(), QStringLiteral("Building a list"));
}

TEST_F(DialogTest, AboutControlsSitAtTheirTemplatePlaces) {
    AboutDialog about(shell, QString::fromStdString(startup.Path()));
    const DialogUnits units(about.font());
    EXPECT_EQ(about.size(), QSize(units.ToPixelsX(201), units.ToPixelsY(159)));
    ASSERT_NE(ButtonOf(about, IDOK), nullptr);
    EXPECT_EQ(ButtonOf(about, IDOK)->geometry(), units.ToPixels(144, 138, 50, 14));
    EXPECT_EQ(ButtonOf(about, IDC_HELP_TOPIC)->geometry(), units.ToPixels(53, 68, 100, 14));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Tessival Help"));
}

TEST_F(DialogTest, AboutButtonsOpenHelpAndPagesAndLeaveTheDialogOpen) {
    const std::string help = startup.Path() + "/share/tessival/tessival.html";
    AboutDialog about(shell, QString::fromStdString(help));
    about.show();
    // The help is opened by its full path; the current directory stays as the user left it.
    const QString before = QDir::currentPath();
    QTest::mouseClick(ButtonOf(about, IDC_HELP_TOPIC), Qt::LeftButton);
    EXPECT_EQ(QDir::currentPath(), before);

    QTest::mouseClick(ButtonOf(about, IDC_MAKER_SITE), Qt::LeftButton);
    QTest::mouseClick(ButtonOf(about, IDC_PRODUCT_SITE), Qt::LeftButton);
    EXPECT_EQ(shell.opened, (std::vector<std::string>{help, kMakerUrl, kProductUrl}));
    EXPECT_TRUE(about.isVisible());
    QTest::mouseClick(ButtonOf(about, IDOK), Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}

TEST_F(DialogTest, MoreTypesOkOpensThePageEachTimeAndOnlyCancelCloses) {
    MoreTypesDialog more(shell);
    more.show();
    QTest::mouseClick(ButtonOf(more, IDOK), Qt::LeftButton);
    QTest::keyClick(&more, Qt::Key_Return);
    EXPECT_EQ(shell.opened, (std::vector<std::string>{kEncoderDownloadUrl, kEncoderDownloadUrl}));
    EXPECT_TRUE(more.isVisible());
    QTest::mouseClick(ButtonOf(more, IDCANCEL), Qt::LeftButton);
    EXPECT_FALSE(more.isVisible());
    EXPECT_EQ(more.result(), QDialog::Rejected);
}

TEST_F(DialogTest, SuggestionTextsFitTheirPlacesWhole) {
    SuggestionDialog dialog;
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 2);
    bool sawPhone = false;
    for (QLabel* label : labels) {
        EXPECT_TRUE(label->wordWrap());
        EXPECT_LE(label->heightForWidth(label->width()), label->height()) << label->text().toStdString();
        sawPhone = sawPhone || label->text().endsWith(QStringLiteral("8000=Phone"));
    }
    EXPECT_TRUE(sawPhone);
}

}  // namespace
}  // namespace tessival
