#include <gtest/gtest.h>

#include "joblist/DiscItems.h"
#include "joblist/TextField.h"
#include "platform/shell/ScriptedShell.h"
#include "support/DiscImage.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

TEST(CdRomScan, AudioTracksOfEveryDriveComeFirstThenVideoCdThenDvdFiles) {
    ScriptedShell shell;
    shell.cdromDrives = {"/media/dvd", "/dev/sr1"};
    shell.filesByPattern["/media/dvd/VIDEO_TS|*.vob"] = {{"/media/dvd/VIDEO_TS/VTS_01_1.VOB", "VTS_01_1.VOB"}};
    shell.filesByPattern["/media/dvd/mpegav|*.dat"] = {{"/media/dvd/MPEGAV/AVSEQ01.DAT", "AVSEQ01.DAT"}};
    shell.filesByPattern["/dev/sr1|*.cda"] = {{"/dev/sr1/Track01.cda", "Track01.cda"},
                                              {"/dev/sr1/Track02.cda", "Track02.cda"}};
    const auto items = ScanCdRomDrives(shell);
    ASSERT_EQ(items.size(), 4u);
    const char* expected[][4] = {{"Track01.cda", "/dev/sr1/Track01.cda", "cda", "CDA"},
                                 {"Track02.cda", "/dev/sr1/Track02.cda", "cda", "CDA"},
                                 {"AVSEQ01.DAT", "/media/dvd/MPEGAV/AVSEQ01.DAT", "dat", "DAT"},
                                 {"VTS_01_1.VOB", "/media/dvd/VIDEO_TS/VTS_01_1.VOB", "vob", "VOB"}};
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(ReadField(items[i].sourceName), expected[i][0]);
        EXPECT_EQ(ReadField(items[i].sourcePath), expected[i][1]);
        EXPECT_EQ(ReadField(items[i].sourceExt), expected[i][2]);
        EXPECT_EQ(ReadField(items[i].sourceType), expected[i][3]);
        EXPECT_EQ(ReadField(items[i].destName), expected[i][0]);
        EXPECT_EQ(ReadField(items[i].destPath), "");
        EXPECT_EQ(ReadField(items[i].status), "Ready");
    }
    shell.cdromDrives.clear();
    EXPECT_TRUE(ScanCdRomDrives(shell).empty());
}

TEST(DiscImageItems, ImagesAmongChosenFilesBecomeTheirTracksOthersStay) {
    test::TempDir dir;
    const test::DiscImageFile image(dir.Path(), {80, 95, 77});
    ConvertItem song{}, disc{}, broken{};
    WriteField(song.sourcePath, dir.File("song.mp3"));
    WriteField(disc.sourcePath, image.Cue());
    WriteField(broken.sourcePath, dir.File("gone.toc"));
    std::vector<DiscProblem> problems;
    const auto items = ExpandDiscImages({song, disc, broken}, problems);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(ReadField(items[0].sourcePath), dir.File("song.mp3"));
    EXPECT_EQ(ReadField(items[1].sourcePath), image.Cue() + "/Track02.cda");
    EXPECT_EQ(ReadField(items[3].sourcePath), image.Cue() + "/Track04.cda");
    EXPECT_EQ(ReadField(items[3].sourceType), "CDA");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].kind, DiscProblem::Kind::ImageMissing);
}

TEST(DiscProblemTexts, EachFailureSaysWhatAndWhere) {
    DiscProblem problem;
    problem.source = "/dev/sr0";
    problem.kind = DiscProblem::Kind::NoDisc;
    EXPECT_EQ(DiscProblemText(problem), "Error: There is no disc in the drive /dev/sr0.");
    problem.kind = DiscProblem::Kind::UnreadableSector;
    problem.track = 7;
    problem.secondsIntoTrack = 135;
    EXPECT_EQ(DiscProblemText(problem),
              "Error: Track 7 has a sector that cannot be read at 02:15, even after retries. The disc is damaged or "
              "dirty, or the disc image is cut short.");
    problem.kind = DiscProblem::Kind::NoSuchTrack;
    EXPECT_EQ(DiscProblemText(problem), "Error: The disc in /dev/sr0 has no audio track 7.");
    problem.source = "/rips/a.cue";
    problem.kind = DiscProblem::Kind::DataFileMissing;
    problem.detail = "a.bin";
    EXPECT_EQ(DiscProblemText(problem), "Error: The disc image /rips/a.cue cannot be read: its file \"a.bin\" is missing.");
    problem.kind = DiscProblem::Kind::BadImage;
    EXPECT_EQ(DiscProblemText(problem),
              "Error: /rips/a.cue is not a disc image that can be read (damaged file or malformed cue sheet).");
    problem.kind = DiscProblem::Kind::ImageMissing;
    EXPECT_EQ(DiscProblemText(problem), "Error: The source file is missing or cannot be read.");
    EXPECT_EQ(DiscProblemText(DiscProblem{}), "");
}

}  // namespace
}  // namespace tessival
