#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/media/MediaFixtures.h"
#include "platform/media/WaveFileSupport.h"
#include "support/DiscImage.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::RunProcess;
using test::ShellQuote;

constexpr const char* kCdQuality = " --dest-type='WAV (PCM)' --quality=2,1411,16,44100";

class CdTracks : public ::testing::Test {
protected:
    CdTracks() { std::filesystem::create_directory(out_); }

    test::ProcessResult Cli(const std::string& args) { return RunProcess(CliPath() + " " + args + " 2>&1"); }
    test::ProcessResult AddImage(const std::string& how, const std::string& options = kCdQuality) {
        return Cli("add " + ShellQuote(list_) + options + " --dest-path=" + ShellQuote(out_) + " " + how);
    }
    test::ProcessResult Convert() { return Cli("convert " + ShellQuote(list_)); }
    std::vector<ConvertItem> Items() {
        ItemList items;
        EXPECT_EQ(ReadListFile(list_, items), ListFileResult::Ok);
        std::vector<ConvertItem> all;
        for (std::size_t i = 0; i < items.Count(); ++i) all.push_back(*items.At(static_cast<std::ptrdiff_t>(i)));
        return all;
    }
    // The samples of a WAVE file written for a track.
    static std::string Pcm(const std::string& path) {
        const std::string file = test::ReadBytes(path);
        const auto data = media::test::FindChunk(file, "data");
        return data.body == std::string::npos ? std::string() : file.substr(data.body, data.size);
    }

    test::TempDir dir_;
    test::DiscImageFile image_{dir_.Path(), {412, 263, 337}};
    std::string out_ = dir_.File("out");
    std::string list_ = dir_.File("cd.tsl");
};

TEST_F(CdTracks, AnImageAddsExactlyItsAudioTracksLikeADriveHoldingThatDisc) {
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue())).exitCode, 0);
    const auto fromDrive = Items();
    ASSERT_EQ(fromDrive.size(), 3u);
    const char* names[] = {"Track02.cda", "Track03.cda", "Track04.cda"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(ReadField(fromDrive[i].sourceName), names[i]);
        EXPECT_EQ(ReadField(fromDrive[i].sourcePath), image_.Cue() + "/" + names[i]);
        EXPECT_EQ(ReadField(fromDrive[i].sourceType), "CDA");
        // Named after the destination type, as the properties window names them.
        EXPECT_EQ(ReadField(fromDrive[i].destName), std::string(names[i]).substr(0, 7) + ".wav");
        EXPECT_EQ(ReadField(fromDrive[i].destType), "WAV (PCM)");
    }

    // Given as a file, the image adds the same tracks.
    std::filesystem::remove(list_);
    ASSERT_EQ(AddImage(ShellQuote(image_.Cue())).exitCode, 0);
    const auto fromFile = Items();
    ASSERT_EQ(fromFile.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(ReadField(fromFile[i].sourcePath), ReadField(fromDrive[i].sourcePath));
}

TEST_F(CdTracks, EveryTrackConvertsToTheImagesSamplesBitForBit) {
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue())).exitCode, 0);
    const auto result = Convert();
    EXPECT_EQ(result.exitCode, 0) << result.output;
    for (int number : {2, 3, 4}) {
        const std::string path = out_ + "/Track0" + std::to_string(number) + ".wav";
        const std::string pcm = Pcm(path);
        EXPECT_EQ(pcm.size(), image_.TrackPcm(number).size()) << path;
        EXPECT_TRUE(pcm == image_.TrackPcm(number)) << path;
        const auto probe = media::test::Probe(path);
        EXPECT_EQ(probe.at("codec_name"), "pcm_s16le");
        EXPECT_EQ(probe.at("sample_rate"), "44100");
        EXPECT_EQ(probe.at("channels"), "2");
    }
}

TEST_F(CdTracks, ATrackMatchesCdParanoiaReadingTheSameImage) {
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue())).exitCode, 0);
    ASSERT_EQ(Convert().exitCode, 0);
    const std::string theirs = dir_.File("paranoia.wav");
    ASSERT_EQ(RunProcess("cd-paranoia -q -d " + ShellQuote(image_.Cue()) + " -w 3 " + ShellQuote(theirs) +
                         " >/dev/null 2>&1")
                  .exitCode,
              0);
    const std::string reference = Pcm(theirs);
    ASSERT_EQ(reference.size(), 263u * 2352u);
    EXPECT_TRUE(Pcm(out_ + "/Track03.wav") == reference);
}

TEST_F(CdTracks, AnImageCutInsideTheLastTrackFailsOnlyThatTrackSayingWhere) {
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue())).exitCode, 0);
    image_.CutInsideLastTrack(100);
    const auto result = Convert();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("1: Complete("), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("2: Complete("), std::string::npos) << result.output;
    // Track 4 keeps 236 whole sectors: the next one, 3.15 s in, is cut.
    EXPECT_NE(result.output.find("3: Error: Track 4 has a sector that cannot be read at 00:03, even after retries."),
              std::string::npos)
        << result.output;
    EXPECT_TRUE(Pcm(out_ + "/Track02.wav") == image_.TrackPcm(2));
    EXPECT_TRUE(Pcm(out_ + "/Track03.wav") == image_.TrackPcm(3));
}

TEST_F(CdTracks, BrokenImagesMissingTracksAndEmptyDrivesGiveClearTexts) {
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue())).exitCode, 0);
    // Track 1 is the data track: no audio track of that number.
    ItemList items;
    ASSERT_EQ(ReadListFile(list_, items), ListFileResult::Ok);
    WriteField(items.At(0)->sourcePath, image_.Cue() + "/Track01.cda");
    ASSERT_EQ(WriteListFile(list_, items), ListFileResult::Ok);
    auto result = Convert();
    EXPECT_NE(result.output.find("1: Error: The disc in " + image_.Cue() + " has no audio track 1."),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("2: Complete("), std::string::npos) << result.output;

    // The image's data file goes away after the tracks were added.
    std::filesystem::remove(image_.Bin());
    result = Convert();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("2: Error: The disc image " + image_.Cue() +
                                 " cannot be read: its file \"disc.bin\" is missing."),
              std::string::npos)
        << result.output;

    std::filesystem::remove(list_);
    result = AddImage("--cd=" + ShellQuote(image_.Cue()));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("its file \"disc.bin\" is missing."), std::string::npos) << result.output;
    EXPECT_FALSE(std::filesystem::exists(list_));

    const std::string broken = dir_.File("broken.cue");
    std::ofstream(broken) << "FILE \"broken.bin\" BINARY\n  TRACK 1 AUDIO\n    INDEX 01 99:99:99\n  TRACK\n";
    std::ofstream(dir_.File("broken.bin")) << "not sectors";
    result = AddImage(ShellQuote(broken));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("Error: " + broken + " is not a disc image that can be read"), std::string::npos)
        << result.output;

    result = AddImage("--cd=/dev/null");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("Error: There is no disc in the drive /dev/null."), std::string::npos)
        << result.output;
    EXPECT_FALSE(std::filesystem::exists(list_));
}

TEST_F(CdTracks, TracksConvertToCompressedDestinations) {
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue()), " --dest-type=MP3 --quality=2,128,0,44100").exitCode, 0);
    const auto result = Convert();
    EXPECT_EQ(result.exitCode, 0) << result.output;
    const auto probe = media::test::Probe(out_ + "/Track03.mp3");
    EXPECT_EQ(probe.at("codec_name"), "mp3");
    EXPECT_EQ(probe.at("sample_rate"), "44100");
    // 263 sectors of 588 frames: 3.507 s, a little more with the encoder's padding.
    const auto decoded = media::test::DecodeFloat(out_ + "/Track03.mp3", 44100, 2);
    EXPECT_NEAR(static_cast<double>(decoded.size()) / 2 / 44100, 263.0 / 75, 0.1);
}

}  // namespace
}  // namespace tessival
