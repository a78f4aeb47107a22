#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <filesystem>

#include "WindowFixture.h"
#include "joblist/DiscItems.h"
#include "support/DiscImage.h"

namespace tessival {
namespace {

class CdTracksWindowTest : public test::WindowTest {};

TEST_F(CdTracksWindowTest, ADiscImageChosenAsAFileAddsItsAudioTracks) {
    const test::DiscImageFile image(dir.Path(), {90, 120, 75});
    AddFiles(dir.Path() + "/", {"disc.cue"});
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{"Track02.cda", "Track03.cda", "Track04.cda"}));
    EXPECT_EQ(Cell(2, 1), "CDA");
    EXPECT_EQ(ReadField(window.itemList.At(2)->sourcePath), image.Cue() + "/Track04.cda");
    ExpectRowsMatchItems();
    EXPECT_TRUE(shell.messages.empty());
}

TEST_F(CdTracksWindowTest, AnImageThatCannotBeReadSaysWhyAndAddsNothingForIt) {
    const test::DiscImageFile image(dir.Path(), {90});
    std::filesystem::remove(image.Bin());
    AddFiles(dir.Path() + "/", {"disc.cue", "song.mp3"});
    EXPECT_EQ(SourceNames(), std::vector<std::string>{"song.mp3"});
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text,
              "Error: The disc image " + image.Cue() + " cannot be read: its file \"disc.bin\" is missing.");
}

TEST_F(CdTracksWindowTest, FromCdromAddsWhatTheDrivesHoldAndNothingWithoutDiscs) {
    window.OnCommand(ID_ADD_FROM_CDROM);
    EXPECT_EQ(window.itemList.Count(), 0u);
    EXPECT_TRUE(shell.messages.empty());

    shell.cdromDrives = {"/dev/sr0"};
    shell.filesByPattern["/dev/sr0|*.cda"] = {{"/dev/sr0/Track01.cda", "Track01.cda"},
                                              {"/dev/sr0/Track02.cda", "Track02.cda"}};
    window.OnCommand(ID_ADD_FROM_CDROM);
    EXPECT_EQ(SourceNames(), (std::vector<std::string>{"Track01.cda", "Track02.cda"}));
    ExpectRowsMatchItems();
}

// The README's picture of a disc image's tracks, made only when asked to, under a display:
// DISPLAY=:99 QT_QPA_PLATFORM=xcb TESSIVAL_SCREENSHOT_IMAGE=disc.cue TESSIVAL_SCREENSHOT=docs/cd-tracks.png
// build/tests/ui/test_ui --gtest_filter='CdTracksWindowTest.Screenshot*'.
TEST_F(CdTracksWindowTest, ScreenshotAfterAddingADiscImage) {
    const QString image = qEnvironmentVariable("TESSIVAL_SCREENSHOT_IMAGE");
    const QString output = qEnvironmentVariable("TESSIVAL_SCREENSHOT");
    if (image.isEmpty() || output.isEmpty()) GTEST_SKIP() << "set TESSIVAL_SCREENSHOT_IMAGE and TESSIVAL_SCREENSHOT";
    const QFileInfo file(image);
    AddFiles(file.absolutePath().toStdString() + "/", {file.fileName().toStdString()});
    ASSERT_GT(window.itemList.Count(), 0u);
    window.ListControl().SelectRow(0);
    window.raise();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::qWait(qEnvironmentVariableIntValue("TESSIVAL_SCREENSHOT_WAIT_MS") + 500);
    ASSERT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, 640, 480).save(output));
}

}  // namespace
}  // namespace tessival
