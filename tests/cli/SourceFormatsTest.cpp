// Today's audio formats as sources, through `tessival-cli convert` as a user runs it: one short
// file of each, made by ffmpeg with a tone of its own and a length that is not whole seconds,
// converted to PCM, MP3 and IMA ADPCM; high-resolution sources; damaged files; album tracks.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <sstream>

#include "engine/QualityListing.h"
#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/media/MediaFixtures.h"
#include "platform/shell/ScriptedShell.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using media::test::DecodeFloat;
using media::test::Probe;
using test::RunProcess;
using test::ShellQuote;

struct FormatCase {
    const char* name;
    const char* file;
    const char* codec;  // ffmpeg's output options
    int rate;
    int channels;
    int tone;  // Hz
    double seconds;
    int frame;  // samples per codec frame at the source rate: the length tolerance
    int pictures;  // 0: audio only; 1: a moving picture; 2: one cover picture
};

const FormatCase kFormats[] = {
    {"Flac", "a.flac", "-c:a flac", 44100, 2, 330, 1.37, 0, 0},
    {"AlacInM4a", "alac.m4a", "-c:a alac", 44100, 2, 370, 1.41, 0, 0},
    {"AacInM4a", "aac.m4a", "-c:a aac -b:a 128k", 44100, 2, 410, 1.29, 1024, 0},
    {"AdtsAac", "a.aac", "-c:a aac -b:a 96k -f adts", 44100, 1, 450, 1.33, 1024, 0},
    {"OggVorbis", "a.ogg", "-c:a libvorbis", 44100, 2, 490, 1.27, 2048, 0},
    {"OggOpus", "a.opus", "-c:a libopus", 48000, 2, 530, 1.31, 960, 0},
    {"OggFlac", "flac.oga", "-c:a flac -f ogg", 44100, 2, 570, 1.23, 0, 0},
    {"Aiff", "a.aiff", "-c:a pcm_s16be", 44100, 2, 610, 1.19, 0, 0},
    {"AiffC", "a.aifc", "-c:a pcm_s16le -f aiff", 22050, 1, 650, 1.13, 0, 0},
    {"WavPack", "a.wv", "-c:a wavpack", 44100, 2, 690, 1.21, 0, 0},
    {"TrueAudio", "a.tta", "-c:a tta", 44100, 2, 730, 1.17, 0, 0},
    {"MatroskaAudio", "a.mka", "-c:a libvorbis", 44100, 2, 770, 1.39, 2048, 0},
    {"WebmAudio", "a.webm", "-c:a libopus -vn", 48000, 2, 810, 1.43, 960, 0},
    {"CoreAudioAlac", "a.caf", "-c:a alac", 44100, 2, 850, 1.11, 0, 0},
    {"SunAu", "a.au", "-c:a pcm_s16be", 22050, 1, 890, 1.09, 0, 0},
    {"Eac3", "a.eac3", "-c:a eac3 -b:a 192k", 48000, 2, 930, 1.47, 1536, 0},
    {"Dts", "a.dts", "-strict -2 -c:a dca", 48000, 2, 970, 1.53, 512, 0},
    {"Mp4Video", "v.mp4", "-c:v mpeg4 -c:a aac", 44100, 2, 1010, 1.57, 1024, 1},
    {"MatroskaVideo", "v.mkv", "-c:v mpeg4 -c:a ac3", 48000, 2, 1050, 1.61, 1536, 1},
    {"QuickTimeVideo", "v.mov", "-c:v mpeg4 -c:a alac", 44100, 2, 1090, 1.63, 0, 1},
    {"FlashVideo", "v.flv", "-c:v flv -c:a libmp3lame", 44100, 2, 1130, 1.67, 1152, 1},
    // Content decides: a FLAC file under the Video CD extension, and one with a cover picture.
    {"FlacNamedDat", "flac.dat", "-c:a flac -f flac", 44100, 2, 1170, 1.71, 0, 0},
    {"FlacWithCover", "cover.flac", "-c:a flac -c:v png -disposition:v attached_pic", 44100, 2, 1210, 1.07, 0,
     2},
};

bool MakeFormat(const FormatCase& c, const std::string& path) {
    std::ostringstream cmd;
    cmd << "ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=" << c.tone << ":sample_rate=" << c.rate
        << ":duration=" << c.seconds << "' ";
    if (c.pictures) cmd << "-f lavfi -i 'testsrc=size=160x120:rate=25:duration=" << (c.pictures == 1 ? c.seconds : 0.04) << "' -map 1:v ";
    cmd << "-map 0:a -ac " << c.channels << " " << c.codec << " " << ShellQuote(path);
    return RunProcess(cmd.str()).exitCode == 0;
}

struct Destination {
    const char* type;
    int channels;
    std::uint32_t rate;
    std::uint32_t bytesPerSecond;  // 0: any
    int slack;                     // the encoder's own frame and delay, at the destination rate
};

const Destination kDestinations[] = {
    {"WAV (PCM)", 2, 44100, 176400, 0},
    {"WAV (MPEG Layer-3)", 2, 44100, 16000, 2 * 1152},
    {"WAV (IMA ADPCM)", 1, 22050, 0, 1017},
};

QualityInfo QualityOf(const Destination& d) {
    ScriptedShell shell;
    for (const QualityInfo& q : ListEncoderQualities(shell, QualityEncoderName(shell, d.type))) {
        if (q.nChannels == d.channels && q.nSamplesPerSec == d.rate &&
            (d.bytesPerSecond == 0 || q.nAvgBytesPerSec == d.bytesPerSecond))
            return q;
    }
    return QualityInfo{};
}

// The tone's frequency from the zero crossings of a mono signal at `rate`, skipping the edges.
double ToneOf(const std::vector<float>& samples, int rate) {
    const std::size_t edge = samples.size() / 10;
    int crossings = 0;
    for (std::size_t i = edge + 1; i + edge < samples.size(); ++i)
        if ((samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
    const double seconds = static_cast<double>(samples.size() - 2 * edge) / rate;
    return crossings / 2.0 / seconds;
}

class SourceFormats : public ::testing::Test {
protected:
    SourceFormats() { std::filesystem::create_directory(out_); }

    void Add(const std::string& source, const std::string& destName, const char* destType, const QualityInfo& quality) {
        ConvertItem item = MakeSingleFileItem(source);
        WriteField(item.destPath, out_);
        WriteField(item.destName, destName);
        WriteField(item.destType, destType);
        item.quality = quality;
        items_.Append(item);
    }
    test::ProcessResult Convert() {
        EXPECT_EQ(WriteListFile(list_, items_), ListFileResult::Ok);
        return RunProcess(test::CliPath() + " convert " + ShellQuote(list_) + " 2>&1");
    }
    std::string Out(const std::string& name) const { return out_ + "/" + name; }

    test::TempDir dir_;
    std::string out_ = dir_.File("out");
    std::string list_ = dir_.File("list.tsl");
    ItemList items_;
};

TEST_F(SourceFormats, EachFormatConvertsToPcmMp3AndImaAdpcmWithItsLengthAndTone) {
    std::vector<QualityInfo> qualities;
    for (const Destination& d : kDestinations) {
        qualities.push_back(QualityOf(d));
        ASSERT_NE(+qualities.back().nChannels, 0) << d.type;
    }
    for (const FormatCase& c : kFormats) {
        ASSERT_TRUE(MakeFormat(c, dir_.File(c.file))) << c.name;
        for (std::size_t d = 0; d < std::size(kDestinations); ++d)
            Add(dir_.File(c.file), std::string(c.name) + "-" + std::to_string(d) + ".wav", kDestinations[d].type,
                qualities[d]);
    }
    const auto run = Convert();
    EXPECT_EQ(run.exitCode, 0) << run.output;

    for (const FormatCase& c : kFormats) {
        std::map<int, std::vector<float>> references;  // ffmpeg's decode, by rate
        for (std::size_t d = 0; d < std::size(kDestinations); ++d) {
            const Destination& dest = kDestinations[d];
            const std::string output = Out(std::string(c.name) + "-" + std::to_string(d) + ".wav");
            SCOPED_TRACE(std::string(c.name) + " -> " + dest.type);
            const auto probe = Probe(output);
            ASSERT_EQ(probe.count("error"), 0u) << probe.at("error");
            EXPECT_EQ(probe.at("channels"), std::to_string(dest.channels));
            EXPECT_EQ(probe.at("sample_rate"), std::to_string(dest.rate));
            const int rate = static_cast<int>(dest.rate);
            if (!references.count(rate)) references[rate] = DecodeFloat(dir_.File(c.file), rate, 1);
            const auto& reference = references[rate];
            ASSERT_FALSE(reference.empty());
            const auto ours = DecodeFloat(output, rate, 1);
            const double tolerance = 2.0 + static_cast<double>(c.frame) * rate / c.rate + dest.slack;
            EXPECT_NEAR(static_cast<double>(ours.size()), static_cast<double>(reference.size()), tolerance);
            EXPECT_NEAR(ToneOf(ours, rate), c.tone, c.tone * 0.02);
        }
    }
}

TEST_F(SourceFormats, HighResolutionFlacIsReducedToTheChosenQualityAndKeptWholeOtherwise) {
    const std::string source = dir_.File("hires.flac");
    ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=997:sample_rate=96000:duration=1.3' "
                         "-af 'volume=0.9' -ac 2 -c:a flac -sample_fmt s32 " +
                         ShellQuote(source))
                  .exitCode,
              0);
    Add(source, "cd.wav", "WAV (PCM)", QualityInfo{1, 2, 44100, 176400, 4, 16, 0});
    Add(source, "studio.wav", "WAV (PCM)", QualityInfo{1, 2, 96000, 576000, 6, 24, 0});
    const auto run = Convert();
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const auto cd = Probe(Out("cd.wav"));
    EXPECT_EQ(cd.at("codec_name"), "pcm_s16le");
    EXPECT_EQ(cd.at("sample_rate"), "44100");
    const std::string reference = dir_.File("reference.wav");
    ASSERT_TRUE(media::test::FfmpegConvert(source, reference, 44100, 2, 16));
    const auto expected = DecodeFloat(reference, 44100, 2), ours = DecodeFloat(Out("cd.wav"), 44100, 2);
    EXPECT_NEAR(static_cast<double>(ours.size()), static_cast<double>(expected.size()), 4.0);
    EXPECT_LT(media::test::RelativeError(expected, ours), 0.01);

    // At its own rate and width the 24-bit source arrives bit for bit.
    EXPECT_EQ(Probe(Out("studio.wav")).at("codec_name"), "pcm_s24le");
    const auto raw = [](const std::string& path) {
        return RunProcess("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -f s24le -").output;
    };
    const std::string sourceSamples = raw(source), ourSamples = raw(Out("studio.wav"));
    EXPECT_EQ(sourceSamples.size(), 2u * 3u * 124800u);
    EXPECT_TRUE(sourceSamples == ourSamples);
}

TEST_F(SourceFormats, DamagedFilesGiveTheirAudioOrAClearTextAndNeverCrash) {
    const char* const files[] = {"a.flac", "aac.m4a", "a.ogg", "a.opus", "a.wv", "a.mka"};
    const QualityInfo pcm{1, 2, 44100, 176400, 4, 16, 0};
    for (const char* name : files) {
        const FormatCase* c = std::find_if(std::begin(kFormats), std::end(kFormats),
                                           [&](const FormatCase& f) { return std::string(f.file) == name; });
        ASSERT_TRUE(MakeFormat(*c, dir_.File(name)));
        const std::string whole = test::ReadBytes(dir_.File(name));
        test::WriteBytes(dir_.File(std::string("cut-") + name), whole.substr(0, whole.size() * 11 / 20));
        std::string garbled = whole;
        for (std::size_t i = 0; i < 64 && i < garbled.size(); ++i) garbled[i] = static_cast<char>(0x5A ^ i);
        test::WriteBytes(dir_.File(std::string("bad-") + name), garbled);
        Add(dir_.File(std::string("cut-") + name), std::string("cut-") + name + ".wav", "WAV (PCM)", pcm);
        Add(dir_.File(std::string("bad-") + name), std::string("bad-") + name + ".wav", "WAV (PCM)", pcm);
    }
    ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=duration=1.3:size=160x120:rate=25 -c:v mpeg4 " +
                         ShellQuote(dir_.File("silent.mp4")))
                  .exitCode,
              0);
    Add(dir_.File("silent.mp4"), "silent.wav", "WAV (PCM)", pcm);
    test::WriteBytes(dir_.File("empty.flac"), "");
    Add(dir_.File("empty.flac"), "empty.wav", "WAV (PCM)", pcm);
    const auto run = Convert();
    ASSERT_TRUE(run.exitCode == 0 || run.exitCode == 1) << run.output;

    ItemList after;
    ASSERT_EQ(ReadListFile(list_, after), ListFileResult::Ok);
    for (std::size_t i = 0; i < items_.Count(); ++i) {
        const std::string destName = ReadField(items_.At(i)->destName);
        SCOPED_TRACE(destName);
        const std::string lines = "\n" + run.output, number = "\n" + std::to_string(i + 1) + ": ";
        if (lines.find(number + "Complete(") != std::string::npos) {
            // What decoded is a valid file, shorter than the whole.
            const auto probe = Probe(Out(destName));
            ASSERT_EQ(probe.count("error"), 0u) << probe.at("error");
            EXPECT_GT(std::stol(probe.at("duration_ts")), 0);
        } else {
            EXPECT_NE(lines.find(number + "Error: "), std::string::npos) << run.output;
            EXPECT_FALSE(std::filesystem::exists(Out(destName)));
        }
    }
    EXPECT_NE(run.output.find("\n" + std::to_string(items_.Count() - 1) + ": Error: The source file has no audio."),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("\n" + std::to_string(items_.Count()) +
                              ": Error: The source file is not a media file: no format Tessival reads recognises "
                              "its content."),
              std::string::npos)
        << run.output;
}

TEST_F(SourceFormats, AlbumTracksOfACueSheetJoinToTheAlbumSampleForSample) {
    const std::string album = dir_.File("album.flac");
    ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:duration=1.7' -f lavfi -i "
                         "'sine=frequency=880:duration=1.3' -f lavfi -i 'sine=frequency=1320:duration=1.27' "
                         "-filter_complex '[0][1][2]concat=n=3:v=0:a=1,aformat=channel_layouts=stereo' -ar 44100 "
                         "-c:a flac " +
                         ShellQuote(album))
                  .exitCode,
              0);
    // Odd frames, the second track with a pregap (INDEX 00) that belongs to the first.
    test::WriteBytes(dir_.File("album.cue"),
                     "TITLE \"Album\"\nFILE \"album.flac\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"One\"\n    INDEX 01 "
                     "00:00:00\n  TRACK 02 AUDIO\n    TITLE \"Two\"\n    INDEX 00 00:01:20\n    INDEX 01 00:01:53\n"
                     "  TRACK 03 AUDIO\n    TITLE \"Three\"\n    INDEX 01 00:02:71\n");
    const auto added = RunProcess(test::CliPath() + " add " + ShellQuote(list_) + " --dest-type='WAV (PCM)' --dest-path=" +
                                  ShellQuote(out_) + " --quality=2,1411,16,44100 " + ShellQuote(dir_.File("album.cue")));
    ASSERT_EQ(added.exitCode, 0);
    const auto shown = RunProcess(test::CliPath() + " show " + ShellQuote(list_));
    EXPECT_EQ(shown.output,
              "01 - One\tCUE\t01 - One.wav\tWAV (PCM)\t" + out_ + "\tReady\n" + "02 - Two\tCUE\t02 - Two.wav\tWAV (PCM)\t" +
                  out_ + "\tReady\n" + "03 - Three\tCUE\t03 - Three.wav\tWAV (PCM)\t" + out_ + "\tReady\n");
    const auto run = RunProcess(test::CliPath() + " convert " + ShellQuote(list_) + " 2>&1");
    ASSERT_EQ(run.exitCode, 0) << run.output;

    const auto samples = [](const std::string& path) {
        return RunProcess("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -f s16le -").output;
    };
    const std::string one = samples(Out("01 - One.wav")), two = samples(Out("02 - Two.wav")),
                      three = samples(Out("03 - Three.wav"));
    EXPECT_EQ(one.size(), 4u * 588u * (1 * 75 + 53));
    EXPECT_EQ(two.size(), 4u * 588u * (2 * 75 + 71 - 75 - 53));
    EXPECT_TRUE(one + two + three == samples(album));
}

}  // namespace
}  // namespace tessival
