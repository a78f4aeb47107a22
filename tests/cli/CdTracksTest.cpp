#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/media/MediaFixtures.h"
#include "platform/media/WaveFileSupport.h"
#include "support/DiscImage.h"
#include "support/LocalHttpServer.h"
#include "support/ProbedTags.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::ProbedTags;
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

TEST_F(CdTracks, AnEnhancedCdImageCutInsideItsLastAudioTrackFailsThatTrackAtOnceAndStops) {
    // Audio tracks 1 and 2, the data track 3 after them; the .bin ends 100 sectors before track 2 does.
    const test::DiscImageFile enhanced(dir_.Path(), {300, 400}, "enhanced", test::DiscImageFile::DataTrack::Last);
    enhanced.CutInsideLastTrack(100);
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(enhanced.Cue())).exitCode, 0);
    const auto timed = [this](const std::string& options) {
        const auto start = std::chrono::steady_clock::now();
        // A read that never ends must not hold up the whole suite.
        const auto result =
            RunProcess("timeout -k 2 20 " + CliPath() + " convert " + ShellQuote(list_) + options + " 2>&1");
        return std::make_pair(result, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    };
    const auto [result, seconds] = timed("");
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("1: Complete("), std::string::npos) << result.output;
    // 299 whole sectors of track 2 remain: the cut one lies 3.99 s in.
    EXPECT_NE(result.output.find("2: Error: Track 2 has a sector that cannot be read at 00:03"), std::string::npos)
        << result.output;
    EXPECT_TRUE(Pcm(out_ + "/Track01.wav") == enhanced.TrackPcm(1));
    EXPECT_FALSE(std::filesystem::exists(out_ + "/Track02.wav"));

    const auto [stopped, stopSeconds] = timed(" --stop-after=1");
    EXPECT_LT(stopSeconds, 2.0) << stopped.output;
    for (const auto& entry : std::filesystem::directory_iterator(out_))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
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

    // A .bin the user may not read is not a damaged image. Root reads anything, so as root the
    // command runs as nobody.
    const test::DiscImageFile locked(dir_.Path(), {80}, "locked");
    std::filesystem::permissions(dir_.Path(), std::filesystem::perms::all);
    std::filesystem::permissions(locked.Bin(), std::filesystem::perms::none);
    const std::string asUser = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    result = RunProcess(asUser + CliPath() + " add " + ShellQuote(list_) + kCdQuality + " --dest-path=" +
                        ShellQuote(out_) + " --cd=" + ShellQuote(locked.Cue()) + " 2>&1");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("Error: The disc image " + locked.Cue() +
                                 " cannot be read: you have no permission to read \"locked.bin\"."),
              std::string::npos)
        << result.output;
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

// The independent reference's CRC-32, AccurateRip v1 and v2 of raw samples, as "CRC V1 V2".
std::string ReferenceChecksums(const std::string& rawPath, const std::string& flags) {
    const char* sourceDir = std::getenv("TESSIVAL_SOURCE_DIR");
    const auto result = RunProcess("python3 " + ShellQuote(std::string(sourceDir ? sourceDir : ".") +
                                                           "/tests/data/rip_checksums.py") +
                                   " " + ShellQuote(rawPath) + flags);
    return result.output.substr(0, result.output.find('\n'));
}

// The log line of a track: its number, start, length, test CRC, copy CRC, AR v1, AR v2, ...
std::vector<std::string> LogLine(const std::string& log, int number) {
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::vector<std::string> fields;
        for (std::string word; words >> word;) fields.push_back(word);
        if (fields.size() == 10 && fields[0] == std::to_string(number)) return fields;
    }
    return {};
}

TEST_F(CdTracks, ARunWritesARipLogWhoseChecksumsMatchAnIndependentComputationAndRipinfoPrintsIt) {
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue())).exitCode, 0);
    const auto result = Cli("convert " + ShellQuote(list_) + " --verify");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::string log = test::ReadBytes(out_ + "/disc.log");
    const auto info = Cli("ripinfo " + ShellQuote(image_.Cue()));
    EXPECT_EQ(info.exitCode, 0) << info.output;
    // Tracks 2 and 4 are the first and last audio tracks: AccurateRip leaves out their ends.
    const std::map<int, std::string> flags = {{2, " --first"}, {3, ""}, {4, " --last"}};
    const std::map<int, std::pair<std::string, std::string>> positions = {
        {2, {"00:02:00", "00:05:37"}}, {3, {"00:07:37", "00:03:38"}}, {4, {"00:11:00", "00:04:37"}}};
    for (const auto& [number, flag] : flags) {
        SCOPED_TRACE(number);
        const std::string raw = dir_.File("track" + std::to_string(number) + ".raw");
        std::ofstream(raw, std::ios::binary) << image_.TrackPcm(number);
        std::istringstream reference(ReferenceChecksums(raw, flag));
        std::string crc, v1, v2;
        reference >> crc >> v1 >> v2;
        ASSERT_EQ(crc.size(), 8u);
        const auto line = LogLine(log, number);
        ASSERT_EQ(line.size(), 10u) << log;
        EXPECT_EQ(line[1], positions.at(number).first);
        EXPECT_EQ(line[2], positions.at(number).second);
        EXPECT_EQ(line[3], crc) << "test CRC";
        EXPECT_EQ(line[4], crc) << "copy CRC";
        EXPECT_EQ(line[5], v1);
        EXPECT_EQ(line[6], v2);
        // ripinfo reads once: no test CRC, the same checksums.
        const auto infoLine = LogLine(info.output, number);
        ASSERT_EQ(infoLine.size(), 10u) << info.output;
        EXPECT_EQ(infoLine[3], "-");
        EXPECT_EQ(std::vector<std::string>(infoLine.begin() + 4, infoLine.end()),
                  std::vector<std::string>(line.begin() + 4, line.end()));
    }
    EXPECT_NE(log.find("Read offset           0 samples"), std::string::npos) << log;
    EXPECT_NE(log.find("Not proven accurate"), std::string::npos) << log;
    EXPECT_EQ(log.find("accurately ripped"), std::string::npos) << log;

    // A read offset shifts what is read, so the checksums change.
    const auto shifted = Cli("ripinfo " + ShellQuote(image_.Cue()) + " --read-offset=6");
    EXPECT_EQ(shifted.exitCode, 0);
    EXPECT_NE(LogLine(shifted.output, 3)[4], LogLine(log, 3)[4]);
    EXPECT_NE(shifted.output.find("Read offset           6 samples"), std::string::npos) << shifted.output;
    EXPECT_EQ(Cli("ripinfo " + ShellQuote(image_.Cue()) + " --read-offset=x").exitCode, 2);
}

TEST_F(CdTracks, ALookupCallsTracksAccuratelyRippedOnlyWhenAccurateRipKnowsTheirChecksums) {
    // The independent reference's CRC, v1 and v2 of each audio track.
    std::map<int, std::vector<std::string>> sums;
    for (const auto& [number, flag] : std::map<int, std::string>{{2, " --first"}, {3, ""}, {4, " --last"}}) {
        const std::string raw = dir_.File("track" + std::to_string(number) + ".raw");
        std::ofstream(raw, std::ios::binary) << image_.TrackPcm(number);
        std::istringstream words(ReferenceChecksums(raw, flag));
        for (std::string word; words >> word;) sums[number].push_back(word);
        ASSERT_EQ(sums[number].size(), 3u);
    }
    // The disc's AccurateRip ids: 150+562+825 and the lead-out 1162; 2*150+3*562+4*825+5*1162; the
    // freedb id of tracks at 2, 4, 9 and 13 s in a 17 s disc. A pressing of another disc comes first;
    // this disc's pressing knows track 2 by its v2, track 3 by its v1 and track 4 by its v2.
    const std::string server = dir_.File("server");
    std::filesystem::create_directories(server + "/accuraterip/b/8/a");
    const char* sourceDir = std::getenv("TESSIVAL_SOURCE_DIR");
    const std::string writer = std::string(sourceDir ? sourceDir : ".") + "/tests/data/accuraterip_dbar.py";
    ASSERT_EQ(RunProcess("python3 " + ShellQuote(writer) + " " + server + "/accuraterip/b/8/a/dBAR-003-00000a8b-00002b58-13000f04.bin" +
                         " 1234,5678,9abc:9/" + sums[2][2] + ",9/" + sums[3][2] + ",9/" + sums[4][2] +
                         " a8b,2b58,13000f04:7/" + sums[2][2] + ",3/" + sums[3][1] + ",5/" + sums[4][2])
                  .exitCode,
              0);
    const test::LocalHttpServer http(server);
    ASSERT_TRUE(http.Running());

    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue())).exitCode, 0);
    const auto result = Cli("convert " + ShellQuote(list_) + " --lookup --accuraterip-url=" + http.Url());
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::string log = test::ReadBytes(out_ + "/disc.log");
    EXPECT_NE(log.find("AccurateRip           1 pressing(s)\n"
                       "    2  accurately ripped (confidence 7)\n"
                       "    3  accurately ripped (confidence 3)\n"
                       "    4  accurately ripped (confidence 5)\n\n"
                       "All tracks accurately ripped\n"),
              std::string::npos)
        << log;

    // Read with an offset, no track has the checksums the database knows.
    const std::string ripinfo = "ripinfo " + ShellQuote(image_.Cue());
    auto info = Cli(ripinfo + " --read-offset=6 --lookup --accuraterip-url=" + http.Url());
    EXPECT_NE(info.output.find("    3  -\n"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("Not proven accurate"), std::string::npos) << info.output;
    EXPECT_EQ(info.output.find("accurately ripped"), std::string::npos) << info.output;
    // A disc the database does not know.
    info = Cli(ripinfo + " --lookup --accuraterip-url=" + http.Url() + "/elsewhere");
    EXPECT_NE(info.output.find("Not proven accurate"), std::string::npos) << info.output;
    EXPECT_EQ(info.output.find("All tracks accurately ripped"), std::string::npos) << info.output;
}

TEST_F(CdTracks, TracksCarryTheDiscsCdTextIntoTheirTags) {
    // The cue sheet's CD-Text: the disc's title, performer and genre, the first audio track's title
    // and performer, the second's title only, nothing for the third.
    std::string sheet = test::ReadBytes(image_.Cue());
    sheet = "PERFORMER \"The Band\"\nTITLE \"Live Disc\"\nGENRE \"Jazz\"\n" + sheet;
    sheet.replace(sheet.find("TRACK 02 AUDIO\n") + 15, 0, "    TITLE \"First Song\"\n    PERFORMER \"Singer\"\n");
    sheet.replace(sheet.find("TRACK 03 AUDIO\n") + 15, 0, "    TITLE \"Second Song\"\n");
    std::ofstream(image_.Cue()) << sheet;

    using Tags = std::map<std::string, std::string>;
    const Tags album{{"album", "Live Disc"}, {"album_artist", "The Band"}, {"genre", "Jazz"}};
    const auto with = [&album](Tags track) {
        track.insert(album.begin(), album.end());
        return track;
    };
    const std::map<std::string, Tags> expected = {
        {"Track02", with({{"title", "First Song"}, {"artist", "Singer"}, {"track", "2/4"}})},
        // A track without a performer of its own is the disc performer's.
        {"Track03", with({{"title", "Second Song"}, {"artist", "The Band"}, {"track", "3/4"}})},
        {"Track04", with({{"artist", "The Band"}, {"track", "4/4"}})},
    };
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue()), " --dest-type=FLAC --quality=2,5,Source,Source").exitCode, 0);
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue()), " --dest-type='LAME MP3' --quality=2,192,0,44100").exitCode,
              0);
    const auto result = Convert();
    EXPECT_EQ(result.exitCode, 0) << result.output;
    for (const auto& [name, tags] : expected) {
        for (const char* extension : {".flac", ".mp3"}) {
            SCOPED_TRACE(name + extension);
            EXPECT_EQ(ProbedTags(out_ + "/" + name + extension), tags);
        }
    }

    // A WAVE file's INFO chunk has no album artist.
    std::filesystem::remove(list_);
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue())).exitCode, 0);
    EXPECT_EQ(Convert().exitCode, 0);
    Tags wave = expected.at("Track02");
    wave.erase("album_artist");
    EXPECT_EQ(ProbedTags(out_ + "/Track02.wav"), wave);
}

TEST_F(CdTracks, ALookupFillsTheTagsThatCdTextLeavesOutFromMusicBrainz) {
    // The recorded answer for this disc's id, FCeNNq3ugOTLg3b.52OGAt1lhcQ- (tracks at 150, 300, 712
    // and 975 with the lead-in, the lead-out at 1312): its second medium holds the disc.
    const char* sourceDir = std::getenv("TESSIVAL_SOURCE_DIR");
    const test::LocalHttpServer http(std::string(sourceDir ? sourceDir : ".") + "/tests/data/musicbrainz");
    ASSERT_TRUE(http.Running());
    std::string sheet = test::ReadBytes(image_.Cue());
    sheet.replace(sheet.find("TRACK 02 AUDIO\n") + 15, 0, "    TITLE \"Aus dem CD-Text\"\n");
    std::ofstream(image_.Cue()) << sheet;
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue()), " --dest-type=FLAC --quality=2,5,Source,Source").exitCode, 0);
    const auto result = Cli("convert " + ShellQuote(list_) + " --lookup --musicbrainz-url=" + http.Url() +
                            " --accuraterip-url=" + http.Url());
    EXPECT_EQ(result.exitCode, 0) << result.output;
    using Tags = std::map<std::string, std::string>;
    const Tags album{{"album", "Lieder \xC3\xBC" "ber Wasser"}, {"album_artist", "Anna Berg & Das Quartett"},
                     {"date", "1998-05-04"}};
    const auto with = [&album](Tags track) {
        track.insert(album.begin(), album.end());
        return track;
    };
    EXPECT_EQ(ProbedTags(out_ + "/Track02.flac"),
              with({{"title", "Aus dem CD-Text"}, {"artist", "Anna Berg"}, {"track", "2/4"}}));
    EXPECT_EQ(ProbedTags(out_ + "/Track03.flac"),
              with({{"title", "Zweites am Fluss"}, {"artist", "Das Quartett feat. Anna Berg"}, {"track", "3/4"}}));
    EXPECT_EQ(ProbedTags(out_ + "/Track04.flac"),
              with({{"title", "Dritte \xC3\x84nderung"}, {"artist", "Anna Berg"}, {"track", "4/4"}}));
}

TEST_F(CdTracks, ADiscThatMusicBrainzDoesNotKnowIsLookedUpAtGnudb) {
    // The recorded answers to the CDDB query and read of this disc: 13000f04, tracks at 150, 300,
    // 712 and 975, 17 seconds. MusicBrainz, asked at the same server, knows nothing of it.
    const char* sourceDir = std::getenv("TESSIVAL_SOURCE_DIR");
    const test::LocalHttpServer http(std::string(sourceDir ? sourceDir : ".") + "/tests/data/gnudb", true);
    ASSERT_TRUE(http.Running());
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue()), " --dest-type=FLAC --quality=2,5,Source,Source").exitCode, 0);
    const auto result = Cli("convert " + ShellQuote(list_) + " --lookup --musicbrainz-url=" + http.Url() +
                            " --accuraterip-url=" + http.Url() + " --gnudb-url=" + http.Url());
    EXPECT_EQ(result.exitCode, 0) << result.output;
    using Tags = std::map<std::string, std::string>;
    const Tags album{{"album", "Lieder vom Deich"}, {"album_artist", "Anna Berg"}, {"date", "1996"}, {"genre", "Folk"}};
    const auto with = [&album](Tags track) {
        track.insert(album.begin(), album.end());
        return track;
    };
    EXPECT_EQ(ProbedTags(out_ + "/Track02.flac"), with({{"title", "Am Deich"}, {"artist", "Anna Berg"}, {"track", "2/4"}}));
    EXPECT_EQ(ProbedTags(out_ + "/Track03.flac"),
              with({{"title", "Zweites am Deich"}, {"artist", "Das Quartett"}, {"track", "3/4"}}));
    EXPECT_EQ(ProbedTags(out_ + "/Track04.flac"),
              with({{"title", "Dritte \xC3\x84nderung"}, {"artist", "Anna Berg"}, {"track", "4/4"}}));
}

TEST_F(CdTracks, ALookupAtAddNamesTheTracksFromMusicBrainz) {
    const char* sourceDir = std::getenv("TESSIVAL_SOURCE_DIR");
    const test::LocalHttpServer http(std::string(sourceDir ? sourceDir : ".") + "/tests/data/musicbrainz");
    ASSERT_TRUE(http.Running());
    const auto added = AddImage("--cd=" + ShellQuote(image_.Cue()) + " --lookup --musicbrainz-url=" + http.Url() +
                                    " '--name={albumartist}/{album}/{track:02} {title}'",
                                " --dest-type=FLAC --quality=2,5,Source,Source");
    ASSERT_EQ(added.exitCode, 0) << added.output;
    std::vector<std::string> names;
    for (const ConvertItem& item : Items())
        names.push_back(ReadField(item.destPath).substr(out_.size()) + "/" + ReadField(item.destName));
    EXPECT_EQ(names, (std::vector<std::string>{
                         "/Anna Berg & Das Quartett/Lieder \xC3\xBC" "ber Wasser/02 Erstes.flac",
                         "/Anna Berg & Das Quartett/Lieder \xC3\xBC" "ber Wasser/03 Zweites am Fluss.flac",
                         "/Anna Berg & Das Quartett/Lieder \xC3\xBC" "ber Wasser/04 Dritte \xC3\x84nderung.flac"}));
}

TEST_F(CdTracks, TracksOfADiscWithoutCdTextCarryTheirNumberAlone) {
    ASSERT_EQ(AddImage("--cd=" + ShellQuote(image_.Cue()), " --dest-type=FLAC --quality=2,5,Source,Source").exitCode, 0);
    EXPECT_EQ(Convert().exitCode, 0);
    EXPECT_EQ(ProbedTags(out_ + "/Track03.flac"), (std::map<std::string, std::string>{{"track", "3/4"}}));
}

}  // namespace
}  // namespace tessival
