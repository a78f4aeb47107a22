// convert with gain tags and normalising, checked with metaflac, ffprobe, loudgain and our own meter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::RunProcess;
using test::ShellQuote;

const QualityInfo kFlac{0xF1AC, 2, 44100, 5 * 125, 1, 16, 0};
const QualityInfo kOpus{0x704F, 2, 48000, 96 * 125, 1, 0, 0};

class ConvertLoudness : public ::testing::Test {
protected:
    // Noise and a tone at a level, as a tagged FLAC track.
    std::string Track(const std::string& name, double volume, const std::string& album,
                      const std::string& volumeExpression = "") {
        const std::string path = dir_.File(name);
        const std::string graph = "anoisesrc=d=6:c=pink:r=44100:a=0.3[n];sine=f=330:d=6:r=44100[s];[n][s]amix=inputs=2,"
                                  "volume=" + (volumeExpression.empty() ? std::to_string(volume) : volumeExpression) +
                                  ",aformat=channel_layouts=stereo";
        EXPECT_EQ(RunProcess("ffmpeg -nostdin -v error -filter_complex " + ShellQuote(graph) + " -metadata album=" +
                             ShellQuote(album) + " " + ShellQuote(path))
                      .exitCode,
                  0);
        return path;
    }

    // Converts the sources into out/, each to NAME.EXT; the command's output.
    std::string Convert(const std::vector<std::string>& sources, const QualityInfo& quality, const char* type,
                        const char* extension, const std::string& options) {
        std::filesystem::create_directories(dir_.File("out"));
        ItemList items;
        for (const std::string& source : sources) {
            ConvertItem item = MakeSingleFileItem(source);
            WriteField(item.destPath, dir_.File("out"));
            WriteField(item.destName, std::filesystem::path(source).stem().string() + "." + extension);
            WriteField(item.destType, type);
            item.quality = quality;
            items.Append(item);
        }
        const std::string list = dir_.File("list.tsl");
        EXPECT_EQ(WriteListFile(list, items), ListFileResult::Ok);
        // The first passes' cache goes to the test's own folder.
        const auto run = RunProcess("XDG_CACHE_HOME=" + ShellQuote(dir_.File("cache")) + " " + CliPath() + " convert " +
                                    ShellQuote(list) + " " + options + " 2>&1");
        EXPECT_EQ(run.exitCode, 0) << run.output;
        return run.output;
    }

    std::string Tag(const std::string& file, const std::string& name) {
        std::string value = RunProcess("metaflac --show-tag=" + name + " " + ShellQuote(dir_.File("out/" + file))).output;
        value = value.substr(value.find('=') + 1);
        return value.substr(0, value.find('\n'));
    }

    double Measured(const std::string& file, const char* key) {
        const auto json = RunProcess(CliPath() + " loudness --json " + ShellQuote(dir_.File("out/" + file))).output;
        const auto at = json.find(key);
        return at == std::string::npos ? NAN : std::atof(json.c_str() + at + std::strlen(key));
    }

    // loudgain's album gain over copies of the outputs (it writes into what it reads).
    double LoudgainAlbumGain(const std::vector<std::string>& names) {
        const std::string copies = dir_.File("copies");
        std::filesystem::remove_all(copies);
        std::filesystem::create_directory(copies);
        std::string files;
        for (const std::string& name : names) {
            std::filesystem::copy(dir_.File("out/" + name), copies);
            files += " " + ShellQuote(copies + "/" + name);
        }
        const auto loudgain = RunProcess("loudgain -a -s e" + files + " 2>&1");
        const auto albumLine = loudgain.output.find("Album:");
        const auto gain = loudgain.output.find("Gain:", albumLine);
        EXPECT_NE(gain, std::string::npos) << loudgain.output;
        return gain == std::string::npos ? NAN : std::atof(loudgain.output.c_str() + gain + 5);
    }

    test::TempDir dir_;
};

TEST_F(ConvertLoudness, AlbumGainOverTwoTracksConvertedSideBySide) {
    Convert({Track("one.flac", 0.3, "Album"), Track("two.flac", 1.0, "Album"), Track("other.flac", 0.5, "Other")},
            kFlac, "FLAC", "flac", "--jobs=2 --replaygain=album");
    for (const char* name : {"one.flac", "two.flac", "other.flac"}) {
        SCOPED_TRACE(name);
        EXPECT_NEAR(std::atof(Tag(name, "REPLAYGAIN_TRACK_GAIN").c_str()), Measured(name, "\"gain\":"), 0.02);
        EXPECT_NEAR(std::atof(Tag(name, "REPLAYGAIN_TRACK_PEAK").c_str()), Measured(name, "\"peak\":"), 0.0001);
    }
    EXPECT_EQ(Tag("one.flac", "REPLAYGAIN_ALBUM_GAIN"), Tag("two.flac", "REPLAYGAIN_ALBUM_GAIN"));
    EXPECT_EQ(Tag("one.flac", "REPLAYGAIN_ALBUM_PEAK"), Tag("two.flac", "REPLAYGAIN_ALBUM_PEAK"));
    // An album of its own: its album gain is its track gain.
    EXPECT_EQ(Tag("other.flac", "REPLAYGAIN_ALBUM_GAIN"), Tag("other.flac", "REPLAYGAIN_TRACK_GAIN"));
    EXPECT_NEAR(std::atof(Tag("one.flac", "REPLAYGAIN_ALBUM_GAIN").c_str()), LoudgainAlbumGain({"one.flac", "two.flac"}),
                0.1);
}

TEST_F(ConvertLoudness, ARerunThatSkipsAnUpToDateTrackStillGivesTheAlbumItsNewGain) {
    Convert({Track("one.flac", 0.3, "Album"), Track("two.flac", 0.3, "Album")}, kFlac, "FLAC", "flac",
            "--replaygain=album");
    std::filesystem::remove(dir_.File("two.flac"));
    Track("two.flac", 1.0, "Album");  // remastered: newer than its output
    const std::string run = Convert({dir_.File("one.flac"), dir_.File("two.flac")}, kFlac, "FLAC", "flac",
                                    "--replaygain=album --skip-existing");
    EXPECT_NE(run.find("1: Skipped (up to date)"), std::string::npos) << run;
    EXPECT_EQ(Tag("one.flac", "REPLAYGAIN_ALBUM_GAIN"), Tag("two.flac", "REPLAYGAIN_ALBUM_GAIN"));
    EXPECT_NEAR(std::atof(Tag("one.flac", "REPLAYGAIN_ALBUM_GAIN").c_str()), LoudgainAlbumGain({"one.flac", "two.flac"}),
                0.1);
}

TEST_F(ConvertLoudness, OpusGetsItsOwnGainTagsOnly) {
    Convert({Track("song.flac", 0.5, "Album")}, kOpus, "Opus", "opus", "--replaygain=track");
    const auto tags = RunProcess("ffprobe -v error -show_entries stream_tags -of default=nw=1 " +
                                 ShellQuote(dir_.File("out/song.opus"))).output;
    const double gain = (-23 - Measured("song.opus", "\"integrated\":")) * 256;
    const auto at = tags.find("TAG:R128_TRACK_GAIN=");
    ASSERT_NE(at, std::string::npos) << tags;
    EXPECT_NEAR(std::atof(tags.c_str() + at + 20), gain, 0.1 * 256);
    EXPECT_EQ(tags.find("REPLAYGAIN"), std::string::npos) << tags;
}

TEST_F(ConvertLoudness, NormalizesToTheTargetUnlessThePeaksForbid) {
    // A quiet track with a loud moment: the target would push that moment far over the ceiling.
    const std::string peaky = Track("peaky.flac", 0, "A", "'if(between(t,2,2.06),6,0.3)':eval=frame");
    const std::string output = Convert({Track("even.flac", 0.2, "A"), peaky}, kFlac, "FLAC", "flac",
                                       "--normalize=-16 --true-peak=-1 --progress=json");
    EXPECT_NEAR(Measured("even.flac", "\"integrated\":"), -16, 0.5);
    EXPECT_LT(Measured("even.flac", "\"true_peak\":"), -1);
    EXPECT_NEAR(Measured("peaky.flac", "\"true_peak\":"), -1, 0.3);
    EXPECT_LT(Measured("peaky.flac", "\"integrated\":"), -20);
    EXPECT_NE(output.find("{\"item\":2,\"note\":\"Normalised by "), std::string::npos) << output;
    EXPECT_EQ(output.find("{\"item\":1,\"note\""), std::string::npos) << output;
}

}  // namespace
}  // namespace tessival
