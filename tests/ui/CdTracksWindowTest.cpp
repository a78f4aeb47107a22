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

TEST_F(CdTracksWindowTest, DiscTracksCountTheirLengthsInTheListsTotal) {
    const test::DiscImageFile image(dir.Path(), {750, 1500 + 38});  // 10 s and 20.5 s
    AddFiles(dir.Path() + "/", {"disc.cue"});
    ASSERT_TRUE(QTest::qWaitFor([this] {
        window.UpdateDisplay();
        return window.Display().Detail() == QStringLiteral("Total 0:30");
    }, 10000)) << window.Display().Detail().toStdString();
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

}  // namespace
}  // namespace tessival
