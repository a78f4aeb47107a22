#include "WindowFixture.h"
#include "joblist/ItemFactory.h"
#include "res/StringTable.h"

namespace tessival::test {
namespace {

class AddMediaFilesTest : public WindowTest {};

TEST_F(AddMediaFilesTest, TheDialogOffersTheAddedFormatsAndTheRowsShowTheirTypes) {
    AddFiles("/music/", {"a.flac", "b.m4a", "c.wav"});
    ASSERT_EQ(shell.openFilters.size(), 1u);
    const std::string& filter = shell.openFilters[0];
    EXPECT_EQ(filter.rfind("All supported media files|*.asf;*.wav;", 0), 0u) << filter;
    EXPECT_NE(filter.find(";*.cda;*.flac;*.m4a;"), std::string::npos) << filter;
    EXPECT_NE(filter.find("|" + LoadString(IDS_MORE_MEDIA_FILTER) + "|*.flac;"), std::string::npos) << filter;
    EXPECT_EQ(Cell(0, 1), "FLAC");
    EXPECT_EQ(Cell(1, 1), "M4A");
    EXPECT_EQ(Cell(2, 1), "WAV");
}

TEST_F(AddMediaFilesTest, ACueSheetAddsOneRowPerTrack) {
    WriteBytes(dir.File("rip.cue"), "FILE \"rip.ape\" WAVE\nTRACK 01 AUDIO\nTITLE \"Intro\"\nINDEX 01 00:00:00\n"
                                    "TRACK 02 AUDIO\nTITLE \"Song\"\nINDEX 01 01:02:03\n");
    AddFile(dir.File("rip.cue"));
    ASSERT_EQ(window.itemList.Count(), 2u);
    ExpectRowsMatchItems();
    EXPECT_EQ(Cell(0, 0), "01 - Intro");
    EXPECT_EQ(Cell(1, 1), "CUE");
    EXPECT_EQ(ReadField(window.itemList.At(1)->sourcePath), dir.File("rip.ape") + "#frames=4653-");
}

// A cue sheet named on the command line (or opened from a file manager) comes the same way.
TEST_F(AddMediaFilesTest, ACueSheetNamedOutsideTheWindowAddsOneRowPerTrack) {
    WriteBytes(dir.File("rip.cue"), "FILE \"rip.ape\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                    "TRACK 02 AUDIO\nINDEX 01 01:02:03\n");
    window.AddFileItems({MakeSingleFileItem(dir.File("rip.cue"))});
    ASSERT_EQ(window.itemList.Count(), 2u);
    EXPECT_EQ(ReadField(window.itemList.At(1)->sourcePath), dir.File("rip.ape") + "#frames=4653-");
}

}  // namespace
}  // namespace tessival::test
