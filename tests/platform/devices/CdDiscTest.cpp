#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/devices/CdDisc.h"
#include "platform/devices/CdTrackPath.h"
#include "platform/devices/CdTrackReader.h"
#include "platform/devices/DiscImage.h"
#include "support/DiscImage.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using Kind = DiscProblem::Kind;

class CdDiscTest : public ::testing::Test {
protected:
    std::unique_ptr<CdDisc> Open(const std::string& source) { return CdDisc::Open(source, problem_); }

    // Every sector of the track through the reader, or as many as it could read.
    std::string ReadAll(CdDisc& disc, int number, CdTrackReader::Status& last) {
        const DiscTrack* track = disc.FindAudioTrack(number);
        EXPECT_NE(track, nullptr);
        auto reader = CdTrackReader::Open(disc, *track);
        EXPECT_NE(reader, nullptr);
        std::vector<std::uint8_t> bytes;
        do last = reader->Read(10, bytes);
        while (last == CdTrackReader::Status::Ok);
        return std::string(bytes.begin(), bytes.end());
    }

    test::TempDir dir_;
    test::DiscImageFile image_{dir_.Path(), {412, 263, 337}};
    DiscProblem problem_;
};

TEST_F(CdDiscTest, TheTableOfContentsGivesEveryTrackWithItsSectors) {
    const auto disc = Open(image_.Cue());
    ASSERT_NE(disc, nullptr);
    ASSERT_EQ(disc->Tracks().size(), 4u);
    EXPECT_FALSE(disc->Tracks()[0].audio);
    EXPECT_EQ(disc->Tracks()[0].number, 1);
    const std::vector<std::pair<int, int>> expected = {{150, 561}, {562, 824}, {825, 1161}};
    const auto audio = disc->AudioTracks();
    ASSERT_EQ(audio.size(), 3u);
    for (std::size_t i = 0; i < audio.size(); ++i) {
        EXPECT_EQ(audio[i].number, static_cast<int>(i) + 2);
        EXPECT_EQ(audio[i].firstSector, expected[i].first);
        EXPECT_EQ(audio[i].lastSector, expected[i].second);
    }
    EXPECT_EQ(disc->ReadableEnd(), 1162);
    EXPECT_EQ(disc->FindAudioTrack(1), nullptr);  // the data track is no audio track
    EXPECT_EQ(disc->FindAudioTrack(5), nullptr);
}

TEST_F(CdDiscTest, ATrackReadsExactlyTheImagesSamples) {
    const auto disc = Open(image_.Cue());
    ASSERT_NE(disc, nullptr);
    for (int number : {2, 3, 4}) {
        CdTrackReader::Status last;
        const std::string pcm = ReadAll(*disc, number, last);
        EXPECT_EQ(last, CdTrackReader::Status::End);
        EXPECT_TRUE(pcm == image_.TrackPcm(number)) << "track " << number << ": " << pcm.size() << " bytes";
    }
}

TEST_F(CdDiscTest, AnImageCutInsideItsLastTrackFailsThatTrackWhereItEnds) {
    image_.CutInsideLastTrack(100);
    const auto disc = Open(image_.Cue());
    ASSERT_NE(disc, nullptr);
    // 1162 sectors less 100 and a part of one: 1061 whole sectors, the next one cut.
    EXPECT_EQ(disc->ReadableEnd(), 1061);
    EXPECT_EQ(disc->FindAudioTrack(4)->lastSector, 1061);

    CdTrackReader::Status last;
    EXPECT_TRUE(ReadAll(*disc, 3, last) == image_.TrackPcm(3));
    EXPECT_EQ(last, CdTrackReader::Status::End);

    const DiscTrack* track = disc->FindAudioTrack(4);
    auto reader = CdTrackReader::Open(*disc, *track);
    std::vector<std::uint8_t> bytes;
    CdTrackReader::Status status;
    do status = reader->Read(16, bytes);
    while (status == CdTrackReader::Status::Ok);
    EXPECT_EQ(status, CdTrackReader::Status::Unreadable);
    EXPECT_EQ(reader->BadSector(), 236);
    EXPECT_EQ(bytes.size(), 236u * 2352u);
    EXPECT_TRUE(std::string(bytes.begin(), bytes.end()) == image_.TrackPcm(4).substr(0, bytes.size()));
}

TEST_F(CdDiscTest, BrokenImagesAndEmptyDrivesSayWhy) {
    std::filesystem::rename(image_.Bin(), dir_.File("elsewhere.bin"));
    EXPECT_EQ(Open(image_.Cue()), nullptr);
    EXPECT_EQ(problem_.kind, Kind::DataFileMissing);
    EXPECT_EQ(problem_.detail, "disc.bin");
    EXPECT_EQ(problem_.source, image_.Cue());

    std::ofstream(dir_.File("broken.cue")) << "FILE \"elsewhere.bin\" BINARY\n  TRACK xx AUDIO\n  rubbish\n";
    EXPECT_EQ(Open(dir_.File("broken.cue")), nullptr);
    EXPECT_EQ(problem_.kind, Kind::BadImage);

    EXPECT_EQ(Open(dir_.File("gone.cue")), nullptr);
    EXPECT_EQ(problem_.kind, Kind::ImageMissing);

    // A device node that holds no disc (here one that never does).
    EXPECT_EQ(Open("/dev/null"), nullptr);
    EXPECT_EQ(problem_.kind, Kind::NoDisc);
    EXPECT_EQ(problem_.source, "/dev/null");
}

TEST(DiscImageKinds, CueSheetsOverRawSectorsAreDiscImagesOthersAreNot) {
    test::TempDir dir;
    std::ofstream(dir.File("raw.cue")) << "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    std::ofstream(dir.File("motorola.cue")) << "file a.bin motorola\n  track 01 audio\n    index 01 00:00:00\n";
    std::ofstream(dir.File("album.cue")) << "FILE \"album.flac\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    std::ofstream(dir.File("mixed.cue")) << "FILE \"a.bin\" BINARY\n  TRACK 01 AUDIO\nFILE \"b.wav\" WAVE\n";
    std::ofstream(dir.File("empty.cue")) << "REM nothing here\n";
    EXPECT_TRUE(DiscImage::IsDiscImage(dir.File("raw.cue")));
    EXPECT_TRUE(DiscImage::IsDiscImage(dir.File("motorola.cue")));
    EXPECT_FALSE(DiscImage::IsDiscImage(dir.File("album.cue")));
    EXPECT_FALSE(DiscImage::IsDiscImage(dir.File("mixed.cue")));
    EXPECT_FALSE(DiscImage::IsDiscImage(dir.File("empty.cue")));
    EXPECT_TRUE(DiscImage::IsDiscImage(dir.File("disc.toc")));
    EXPECT_TRUE(DiscImage::IsDiscImage(dir.File("disc.NRG")));
    EXPECT_FALSE(DiscImage::IsDiscImage(dir.File("disc.iso")));
}

TEST(CdTrackPaths, TrackFilesNameTheirDriveAndNumber) {
    EXPECT_EQ(TrackFileName(3), "Track03.cda");
    EXPECT_EQ(TrackFileName(12), "Track12.cda");
    std::string drive;
    int number = 0;
    EXPECT_TRUE(ParseTrackPath("/dev/sr0/Track07.cda", drive, number));
    EXPECT_EQ(drive, "/dev/sr0");
    EXPECT_EQ(number, 7);
    EXPECT_TRUE(ParseTrackPath("/rips/My Disc.cue/track12.CDA", drive, number));
    EXPECT_EQ(drive, "/rips/My Disc.cue");
    EXPECT_EQ(number, 12);
    for (const char* path : {"/dev/sr0/Track1x.cda", "/Track01.cda", "Track01.cda", "/dev/sr0/Track100.cda",
                             "/dev/sr0/Track00.cda", "/dev/sr0/Track01.wav", "/dev/sr0/Track.cda"})
        EXPECT_FALSE(ParseTrackPath(path, drive, number)) << path;
}

}  // namespace
}  // namespace tessival
