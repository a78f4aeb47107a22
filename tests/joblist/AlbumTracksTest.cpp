#include <gtest/gtest.h>

#include "joblist/AlbumTracks.h"
#include "joblist/ItemFactory.h"
#include "platform/devices/CueSheet.h"
#include "joblist/TextField.h"
#include "platform/io/TrackPath.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

TEST(CueSheet, ReadsTracksWithTheirFileTextAndIndexes) {
    const auto sheet = ParseCueSheet(
        "\xEF\xBB\xBFREM GENRE Rock\r\nPERFORMER \"Band\"\r\nTITLE \"Album\"\r\nFILE \"My Album.wav\" WAVE\r\n"
        "  TRACK 01 AUDIO\r\n    TITLE \"First Song\"\r\n    INDEX 01 00:00:00\r\n"
        "  TRACK 02 AUDIO\r\n    TITLE \"Second\"\r\n    INDEX 00 03:10:40\r\n    INDEX 01 03:12:07\r\n"
        "  track 3 audio\r\n    index 1 07:59:74\r\n");
    EXPECT_FALSE(sheet.OverRawSectors());
    EXPECT_EQ(sheet.firstBadLine, 0);
    EXPECT_EQ(sheet.discText.title, "Album");
    EXPECT_EQ(sheet.discText.performer, "Band");
    EXPECT_EQ(sheet.discText.genre, "Rock");
    ASSERT_EQ(sheet.files.size(), 1u);
    EXPECT_EQ(sheet.files[0].name, "My Album.wav");
    EXPECT_EQ(sheet.files[0].type, "WAVE");
    ASSERT_EQ(sheet.tracks.size(), 3u);
    EXPECT_EQ(sheet.tracks[0].text.title, "First Song");
    EXPECT_EQ(sheet.tracks[0].index1File, 0);
    EXPECT_EQ(sheet.tracks[0].index1, 0);
    EXPECT_EQ(sheet.tracks[1].index0, (3 * 60 + 10) * 75 + 40);
    EXPECT_EQ(sheet.tracks[1].index1, (3 * 60 + 12) * 75 + 7);
    EXPECT_EQ(sheet.tracks[2].number, 3);
    EXPECT_EQ(sheet.tracks[2].text.title, "");
    EXPECT_EQ(sheet.tracks[2].index1, (7 * 60 + 59) * 75 + 74);
    EXPECT_EQ(sheet.tracks[2].index1Line, 13);
}

TEST(CueSheet, KeepsDataTracksMarksDiscImagesAndTheLinesItCannotRead) {
    const auto image = ParseCueSheet(
        "FILE \"disc.bin\" BINARY\nTRACK 01 MODE1/2352\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 10:00:00\n");
    EXPECT_TRUE(image.OverRawSectors());
    ASSERT_EQ(image.tracks.size(), 2u);
    EXPECT_FALSE(image.tracks[0].Audio());
    EXPECT_TRUE(image.tracks[1].Audio());
    EXPECT_TRUE(ParseCueSheet("not a cue sheet\n").tracks.empty());
    // A track without INDEX 01 starts nowhere.
    EXPECT_EQ(ParseCueSheet("FILE a.flac FLAC\nTRACK 01 AUDIO\nINDEX 00 00:00:00\n").tracks.at(0).index1, -1);
    // A time out of range, or whose frames would not fit a number, is a line to report, not a
    // track to drop.
    for (const char* time : {"00:00:75", "1866666666666666660:00:00"}) {
        const auto unreadable = ParseCueSheet(std::string("FILE a.flac FLAC\nTRACK 01 AUDIO\nINDEX 01 ") + time + "\n");
        ASSERT_EQ(unreadable.tracks.size(), 1u) << time;
        EXPECT_TRUE(unreadable.tracks[0].UnreadableIndex1()) << time;
        EXPECT_EQ(unreadable.tracks[0].index1Line, 3) << time;
        EXPECT_EQ(unreadable.firstBadLine, 3) << time;
    }
    // What a disc image cannot take: a track before any file, one out of order, an index in a
    // later file.
    EXPECT_EQ(ParseCueSheet("TRACK 01 AUDIO\n").firstBadLine, 1);
    EXPECT_EQ(ParseCueSheet("FILE a.bin BINARY\nTRACK 01 AUDIO\nTRACK 03 AUDIO\n").firstBadLine, 3);
    const auto later = ParseCueSheet("FILE a.wav WAVE\nTRACK 01 AUDIO\nINDEX 00 00:00:00\nFILE b.wav WAVE\nINDEX 01 00:00:00\n");
    EXPECT_EQ(later.firstBadLine, 5);
    EXPECT_EQ(later.tracks.at(0).index0File, 0);
    EXPECT_EQ(later.tracks.at(0).index1File, 1);
}

TEST(TrackPath, CarriesTheRangeAndLeavesPlainPathsAlone) {
    test::TempDir dir;
    const std::string path = MakeTrackPath(dir.File("a b#c.flac"), {187, 371});
    EXPECT_EQ(path, dir.File("a b#c.flac") + "#frames=187-371");
    const SourceLocation location = LocateSource(path);
    EXPECT_EQ(location.file, dir.File("a b#c.flac"));
    ASSERT_TRUE(location.track);
    EXPECT_EQ(location.track->firstFrame, 187);
    EXPECT_EQ(location.track->endFrame, 371);
    const SourceLocation last = LocateSource(MakeTrackPath("/x/a.flac", {371, -1}));
    ASSERT_TRUE(last.track);
    EXPECT_EQ(last.track->endFrame, -1);
    // Anything else is a plain file, named by the whole path.
    for (const std::string plain : {"/x/a.flac", "/x/a.flac#frames=9-3", "/x/a.flac#frames=x-3"}) {
        EXPECT_EQ(LocateSource(plain).file, plain);
        EXPECT_FALSE(LocateSource(plain).track) << plain;
    }
    // A real file of that name is read as it is.
    const std::string real = dir.File("odd#frames=1-2");
    test::WriteBytes(real, "x");
    EXPECT_FALSE(LocateSource(real).track);
    EXPECT_EQ(LocateSource(real).file, real);
}

class AlbumTracks : public ::testing::Test {
protected:
    ConvertItem Cue(const std::string& text) {
        test::WriteBytes(dir_.File("album.cue"), text);
        return MakeSingleFileItem(dir_.File("album.cue"));
    }
    test::TempDir dir_;
};

TEST_F(AlbumTracks, ACueSheetBecomesOneItemPerTrackUpToTheNextIndexOne) {
    test::WriteBytes(dir_.File("album.flac"), "fLaC");
    std::vector<DiscProblem> problems;
    const auto items = ExpandAlbumTracks({Cue("FILE \"album.wav\" WAVE\nTRACK 01 AUDIO\nTITLE \"A/B\"\nINDEX 01 "
                                              "00:00:33\nTRACK 02 AUDIO\nINDEX 00 00:02:00\nINDEX 01 00:02:37\n")}, problems);
    EXPECT_TRUE(problems.empty());
    ASSERT_EQ(items.size(), 2u);
    // The sheet names album.wav; the rip beside it is album.flac.
    EXPECT_EQ(ReadField(items[0].sourcePath), dir_.File("album.flac") + "#frames=33-187");
    EXPECT_EQ(ReadField(items[1].sourcePath), dir_.File("album.flac") + "#frames=187-");
    EXPECT_EQ(ReadField(items[0].sourceName), "01 - A/B");
    EXPECT_EQ(ReadField(items[0].destName), "01 - A-B");
    EXPECT_EQ(ReadField(items[1].sourceName), "Track 02");
    EXPECT_EQ(ReadField(items[1].sourceType), "CUE");
    EXPECT_EQ(ReadField(items[1].destPath), dir_.Path() + "/");
    EXPECT_EQ(ReadField(items[1].status), "Ready");
}

// A rip of one file a track: each track is its file, the gap before it included wherever the
// rip left it: at the start of the track's own file, or at the end of the previous one.
TEST_F(AlbumTracks, OneFileATrackRipsGiveEachTrackItsFile) {
    for (const char* name : {"01.wav", "02.flac", "03.wav"}) test::WriteBytes(dir_.File(name), "x");
    struct Case {
        const char* layout;
        const char* sheet;
        std::vector<std::string> sources;
    };
    const Case cases[] = {
        {"gaps at the start of each file",
         "FILE \"01.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE \"02.flac\" WAVE\nTRACK 02 AUDIO\n"
         "INDEX 00 00:00:00\nINDEX 01 00:02:00\nFILE \"03.wav\" WAVE\nTRACK 03 AUDIO\nINDEX 01 00:00:00\n",
         {"01.wav#frames=0-", "02.flac#frames=0-", "03.wav#frames=0-"}},
        {"gaps at the end of the previous file",
         "FILE \"01.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 00 03:20:10\n"
         "FILE \"02.flac\" WAVE\nINDEX 01 00:00:00\nTRACK 03 AUDIO\nINDEX 00 04:00:00\nFILE \"03.wav\" WAVE\n"
         "INDEX 01 00:00:00\n",
         {"01.wav#frames=0-", "02.flac#frames=0-", "03.wav#frames=0-"}},
        {"a hidden first track before the first one's INDEX 01 stays out",
         "FILE \"01.wav\" WAVE\nTRACK 01 AUDIO\nINDEX 00 00:00:00\nINDEX 01 00:05:00\nFILE \"02.flac\" WAVE\n"
         "TRACK 02 AUDIO\nINDEX 01 00:00:00\nINDEX 02 00:01:00\n",
         {"01.wav#frames=375-", "02.flac#frames=0-"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        std::vector<DiscProblem> problems;
        const auto items = ExpandAlbumTracks({Cue(c.sheet)}, problems);
        EXPECT_TRUE(problems.empty());
        std::vector<std::string> sources;
        for (const ConvertItem& item : items) sources.push_back(ReadField(item.sourcePath).substr(dir_.Path().size() + 1));
        EXPECT_EQ(sources, c.sources);
    }
}

TEST_F(AlbumTracks, ASheetWithAnUnreadableIndexOrATrackPastTheFilesEndAddsNothingAndSaysWhichLine) {
    test::WriteBytes(dir_.File("album.flac"), "fLaC");
    const auto tenSeconds = [](const std::string&) { return std::optional<double>(10.0); };
    struct Case {
        const char* sheet;
        DiscProblem::Kind kind;
        int line;
    };
    for (const Case& c : {Case{"FILE a.flac FLAC\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 zz:yy:xx\n",
                               DiscProblem::Kind::CueIndexUnreadable, 5},
                          Case{"FILE album.flac FLAC\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n\nTRACK 02 AUDIO\n"
                               "INDEX 01 00:10:00\n",
                               DiscProblem::Kind::CueTrackPastEnd, 6}}) {
        std::vector<DiscProblem> problems;
        EXPECT_TRUE(ExpandAlbumTracks({Cue(c.sheet)}, problems, tenSeconds).empty()) << c.sheet;
        ASSERT_EQ(problems.size(), 1u) << c.sheet;
        EXPECT_EQ(problems[0].kind, c.kind) << c.sheet;
        EXPECT_EQ(problems[0].line, c.line) << c.sheet;
        EXPECT_EQ(problems[0].source, dir_.File("album.cue"));
    }
}

TEST_F(AlbumTracks, DiscImagesAndOtherFilesStaySingleItems) {
    const ConvertItem image = Cue("FILE \"disc.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n");
    const ConvertItem song = MakeSingleFileItem(dir_.File("song.flac"));
    std::vector<DiscProblem> problems;
    const auto items = ExpandAlbumTracks({image, song}, problems);
    EXPECT_TRUE(problems.empty());
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(ReadField(items[0].sourcePath), dir_.File("album.cue"));
    EXPECT_EQ(ReadField(items[1].sourcePath), dir_.File("song.flac"));
}

}  // namespace
}  // namespace tessival
