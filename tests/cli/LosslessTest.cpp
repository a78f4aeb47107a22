#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::RunProcess;
using test::ShellQuote;

// Adds the file with the quality as `qualities` shows it and converts it; the output file, empty
// when the item did not complete.
std::string ConvertWithCli(const test::TempDir& dir, const std::string& source, const std::string& destType,
                           const std::string& extension, const std::string& quality,
                           const std::string& convertOptions = "") {
    static int counter = 0;
    const std::string out = dir.File("out-" + std::to_string(++counter));
    std::filesystem::create_directory(out);
    const std::string list = out + "/list.tsl";
    const std::string add = CliPath() + " add " + ShellQuote(list) + " --dest-type=" + ShellQuote(destType) +
                            " --dest-path=" + ShellQuote(out) +
                            " --quality=" + ShellQuote(quality) + " " + ShellQuote(source);
    if (RunProcess(add + " >/dev/null 2>&1").exitCode != 0) return "";
    const auto run = RunProcess(CliPath() + " convert " + convertOptions + " " + ShellQuote(list) + " 2>&1");
    if (run.output.find("1: Complete(") == std::string::npos) return "";
    for (const auto& entry : std::filesystem::directory_iterator(out))
        if (entry.path().extension() == "." + extension) return entry.path().string();
    return "";
}

// Every sample as a 32-bit integer (the value in the top bits), channels interleaved.
std::vector<std::int32_t> Samples(const std::string& path) {
    const std::string raw =
        RunProcess("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -map 0:a:0 -f s32le -c:a pcm_s32le -").output;
    std::vector<std::int32_t> samples(raw.size() / 4);
    std::memcpy(samples.data(), raw.data(), samples.size() * 4);
    return samples;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

std::string Metaflac(const std::string& options, const std::string& path) {
    return Trimmed(RunProcess("metaflac " + options + " " + ShellQuote(path)).output);
}

// A FLAC file as the reference tools judge it: `flac -t` without a word of warning, the MD5
// signature set, real frame sizes and a seek table.
void ExpectSoundFlac(const std::string& path) {
    const auto tested = RunProcess("flac -t -s " + ShellQuote(path) + " 2>&1");
    EXPECT_EQ(tested.exitCode, 0);
    EXPECT_EQ(Trimmed(tested.output), "") << "flac -t says something";
    EXPECT_NE(Metaflac("--show-md5sum", path), "00000000000000000000000000000000");
    const std::string blocks = Metaflac("--list", path);
    EXPECT_EQ(blocks.find("minimum framesize: 0 bytes"), std::string::npos);
    EXPECT_NE(blocks.find("SEEKTABLE"), std::string::npos);
}

struct LosslessSource {
    const char* name;
    const char* make;  // the sox or ffmpeg command; OUT is the file
    const char* channelsChoice;  // as `qualities FLAC` shows the choice
    const char* bits;  // the FLAC's depth
    const char* rate;
    const char* channels;
    std::int32_t tolerance;  // in 32-bit steps: 0 is exact, 128 is rounding to 24 bits
};

// Six or eight tones, one a channel.
std::string ToneChannels(int count, const std::string& options) {
    std::string command = "ffmpeg -nostdin -v error -y";
    for (int i = 0; i < count; ++i) command += " -f lavfi -i sine=f=" + std::to_string(300 + 200 * i) + ":d=1";
    return command + " -filter_complex amerge=inputs=" + std::to_string(count) + " " + options + " OUT";
}

const std::string kSixChannelFlac = ToneChannels(6, "-c:a flac -sample_fmt s32");
const std::string kEightChannelWave = ToneChannels(8, "-c:a pcm_s16le");

const LosslessSource kLosslessSources[] = {
    {"float with 24-bit content", "sox -n -r 48000 -b 24 OUT.24.wav synth 1 sine 440 sine 1000 vol 0.7 && sox "
                                  "OUT.24.wav -e floating-point -b 32 OUT",
     "2", "24", "48000", "2", 0},
    {"32-bit integer", "sox -n -r 44100 -b 32 -c 2 OUT synth 1 sine 440 sine 1000 vol 0.7", "2", "24", "44100", "2",
     128},
    {"24-bit 96 kHz", "sox -n -r 96000 -b 24 -c 2 OUT synth 1 sine 440 sine 1000 vol 0.7", "2", "24", "96000", "2",
     0},
    {"16-bit", "sox -n -r 44100 -b 16 -c 1 OUT synth 1 sine 440 vol 0.7", "1", "16", "44100", "1", 0},
    {"5.1 FLAC", kSixChannelFlac.c_str(), "Source", "24", "44100", "6", 0},
    {"7.1 WAVE", kEightChannelWave.c_str(), "Source", "16", "44100", "8", 0},
};

TEST(Lossless, FlacAtSourceKeepsEverySampleOfEachSourceAndSignsIt) {
    test::TempDir dir;
    for (const LosslessSource& source : kLosslessSources) {
        SCOPED_TRACE(source.name);
        const std::string path = dir.File(std::string(source.name) + (source.name[0] == '5' ? ".flac" : ".wav"));
        std::string make = source.make;
        for (std::size_t at; (at = make.find("OUT")) != std::string::npos;) make.replace(at, 3, ShellQuote(path));
        ASSERT_EQ(RunProcess(make).exitCode, 0);
        const std::string flac = ConvertWithCli(dir, path, "FLAC", "flac",
                                                std::string(source.channelsChoice) + ",5,Source,Source", "--dither=none");
        ASSERT_FALSE(flac.empty());
        ExpectSoundFlac(flac);
        EXPECT_EQ(Metaflac("--show-bps", flac), source.bits);
        EXPECT_EQ(Metaflac("--show-sample-rate", flac), source.rate);
        EXPECT_EQ(Metaflac("--show-channels", flac), source.channels);
        const auto in = Samples(path), out = Samples(flac);
        ASSERT_EQ(in.size(), out.size());
        std::int64_t worst = 0;
        for (std::size_t i = 0; i < in.size(); ++i)
            worst = std::max<std::int64_t>(worst, std::abs(std::int64_t{in[i]} - out[i]));
        EXPECT_LE(worst, source.tolerance);
    }
}

// WAV's own "Source" choice keeps every channel, with the layout's mask in an extensible header.
TEST(Lossless, WaveAtSourceKeepsEveryChannelWithItsLayout) {
    test::TempDir dir;
    const std::string source = dir.File("eight.wav");
    std::string make = ToneChannels(8, "-c:a pcm_s24le");
    make.replace(make.find("OUT"), 3, ShellQuote(source));
    ASSERT_EQ(RunProcess(make).exitCode, 0);
    const std::string wave = ConvertWithCli(dir, source, "WAV", "wav", "Source,0,Source,Source");
    ASSERT_FALSE(wave.empty());
    EXPECT_EQ(Trimmed(RunProcess("ffprobe -v error -show_entries stream=channel_layout,codec_name -of csv=p=0 " +
                                 ShellQuote(wave))
                          .output),
              "pcm_s24le,7.1");
    EXPECT_EQ(Samples(wave), Samples(source));
}

// A WAVE file written byte by byte, for the layouts other programs write and ours must read:
// extensible with fewer valid bits than the container, 64-bit integers, big-endian RIFX. Each
// sample is a ramp left-justified in its container.
struct HandMadeWave {
    const char* name;
    std::uint16_t tag;
    std::uint16_t channels;
    int container, valid;
    bool bigEndian;
    const char* flacBits;
};

// A ramp of up to 16 bits (fewer when fewer are valid), which every depth here holds exactly.
int RampBits(int valid) { return std::min(valid, 16); }

std::int64_t Ramp(int i, int c, int valid) {
    const std::int64_t span = (std::int64_t{1} << RampBits(valid)) - 1;
    return (std::int64_t{i} * 7919 + c * 104729) % span - span / 2;
}

void WriteWave(const std::string& path, const HandMadeWave& w, int frames) {
    std::string bytes;
    const auto put = [&](std::uint64_t value, int size) {
        for (int k = 0; k < size; ++k) {
            const int shift = w.bigEndian ? 8 * (size - 1 - k) : 8 * k;
            bytes.push_back(static_cast<char>(value >> shift));
        }
    };
    const int bytesPerSample = w.container / 8;
    std::string data;
    std::swap(bytes, data);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < w.channels; ++c) {
            const int shift = w.container - RampBits(w.valid);
            const std::uint64_t value = static_cast<std::uint64_t>(Ramp(i, c, w.valid)) << shift;
            put(w.container == 8 ? (value + 128) & 0xFF : value, bytesPerSample);
        }
    std::swap(bytes, data);
    const bool extensible = w.tag == 0xFFFE;
    bytes += w.bigEndian ? "RIFX" : "RIFF";
    put(4 + 8 + (extensible ? 40 : 16) + 8 + data.size(), 4);
    bytes += "WAVEfmt ";
    put(extensible ? 40 : 16, 4);
    put(w.tag, 2);
    put(w.channels, 2);
    put(48000, 4);
    put(48000u * w.channels * bytesPerSample, 4);
    put(w.channels * bytesPerSample, 2);
    put(w.container, 2);
    if (extensible) {
        put(22, 2);
        put(w.valid, 2);
        put((1u << w.channels) - 1, 4);
        // The subformat's tag follows the file's byte order, as sox writes it in RIFX.
        put(1, 2);
        bytes += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    }
    bytes += "data";
    put(data.size(), 4);
    std::ofstream(path, std::ios::binary) << bytes << data;
}

TEST(Lossless, WaveLayoutsOfOtherProgramsConvertWithTheirSamples) {
    const HandMadeWave layouts[] = {
        {"20 bits in 24, extensible", 0xFFFE, 2, 24, 20, false, "24"},
        {"12 bits in 16, four channels", 0xFFFE, 4, 16, 12, false, "16"},
        {"5 bits in 8, five channels", 0xFFFE, 5, 8, 5, false, "16"},
        {"64-bit integer", 0x0001, 2, 64, 64, false, "24"},
        {"big-endian RIFX", 0x0001, 2, 16, 16, true, "16"},
        {"big-endian RIFX, extensible", 0xFFFE, 3, 24, 20, true, "24"},
    };
    test::TempDir dir;
    constexpr int kFrames = 4800;
    for (const HandMadeWave& layout : layouts) {
        SCOPED_TRACE(layout.name);
        const std::string path = dir.File("hand.wav");
        WriteWave(path, layout, kFrames);
        const std::string flac = ConvertWithCli(dir, path, "FLAC", "flac", "Source,5,Source,Source", "--dither=none");
        ASSERT_FALSE(flac.empty());
        EXPECT_EQ(Metaflac("--show-bps", flac), layout.flacBits);
        const auto out = Samples(flac);
        ASSERT_EQ(out.size(), static_cast<std::size_t>(kFrames) * layout.channels);
        const int shift = 32 - RampBits(layout.valid);
        for (int i = 0; i < kFrames; i += 97)
            for (int c = 0; c < layout.channels; ++c)
                EXPECT_EQ(std::int64_t{out[i * layout.channels + c]}, Ramp(i, c, layout.valid) * (std::int64_t{1} << shift))
                    << "frame " << i << " channel " << c;
    }
}

double MeanInSteps(const std::vector<std::int32_t>& samples, int bits) {
    double sum = 0;
    for (std::int32_t sample : samples) sum += sample;
    return samples.empty() ? 0 : sum / samples.size() / (1u << (32 - bits));
}

// 24 to 16 bits on a tone far below one 16-bit step: truncation would turn it into a DC offset of
// half a step, rounding into silence; dither keeps it as noise around zero.
TEST(Lossless, ReducingDepthDithersUnlessToldNotTo) {
    test::TempDir dir;
    const std::string quiet = dir.File("quiet.wav");
    ASSERT_EQ(RunProcess("sox -n -r 44100 -b 24 -c 1 " + ShellQuote(quiet) + " synth 2 sine 1000 vol -116dB").exitCode,
              0);
    const auto source = Samples(quiet);
    std::vector<std::int32_t> truncated, rounded;
    for (std::int32_t sample : source) {
        truncated.push_back(sample >> 16 << 16);
        rounded.push_back(static_cast<std::int32_t>((std::int64_t{sample} + 0x8000) >> 16 << 16));
    }
    ASSERT_LT(MeanInSteps(truncated, 16), -0.4) << "the tone must be too quiet for 16 bits";
    for (const char* type : {"FLAC", "WAV"}) {
        SCOPED_TRACE(type);
        const std::string extension = std::string(type) == "FLAC" ? "flac" : "wav";
        const std::string quality = std::string(type) == "FLAC" ? "1,5,16,44100" : "1,705,16,44100";
        const auto dithered = Samples(ConvertWithCli(dir, quiet, type, extension, quality));
        ASSERT_EQ(dithered.size(), source.size());
        EXPECT_NE(dithered, truncated);
        EXPECT_NE(dithered, rounded);
        EXPECT_NEAR(MeanInSteps(dithered, 16), 0.0, 0.05);
        EXPECT_EQ(Samples(ConvertWithCli(dir, quiet, type, extension, quality, "--dither=none")), rounded);
    }
}

std::size_t DecodedFrames(const std::string& path) {
    if (path.empty()) return 0;
    const std::string counted =
        Trimmed(RunProcess("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -ac 1 -f s16le - | wc -c").output);
    return counted.empty() ? 0 : std::stoul(counted) / 2;
}

// A source of a few samples at 48 kHz, resampled for the 44.1 kHz types: each file holds audio a
// reader decodes (a resampler that is not drained gives back nothing), Opus at its own rate
// exactly; a source of no samples gives no file and no "Complete".
TEST(Lossless, TinySourcesGiveFilesWithTheirAudioAndEmptyOnesFail) {
    test::TempDir dir;
    struct Case {
        const char* type;
        const char* extension;
        const char* quality;
        std::size_t atLeast, atMost;
    };
    const Case cases[] = {{"LAME MP3", "mp3", "1,192,0,44100", 8, 1152},
                          {"Ogg Vorbis", "ogg", "1,128,0,44100", 8, 1024},
                          {"M4A AAC", "m4a", "1,128,0,44100", 8, 1024},
                          {"Opus", "opus", "1,96,0,48000", 9, 9}};
    const std::string tiny = dir.File("tiny.wav"), empty = dir.File("empty.wav");
    ASSERT_EQ(RunProcess("sox -n -r 48000 -b 16 -c 1 " + ShellQuote(tiny) + " synth 9s sine 1000").exitCode, 0);
    ASSERT_EQ(RunProcess("sox -n -r 48000 -b 16 -c 1 " + ShellQuote(empty) + " trim 0 0").exitCode, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const std::size_t frames = DecodedFrames(ConvertWithCli(dir, tiny, c.type, c.extension, c.quality));
        EXPECT_GE(frames, c.atLeast);
        EXPECT_LE(frames, c.atMost);
        EXPECT_EQ(ConvertWithCli(dir, empty, c.type, c.extension, c.quality), "");
    }
}

// A float source to a float WAV stays float, sample for sample.
TEST(Lossless, AFloatSourceStaysFloatInAFloatWave) {
    test::TempDir dir;
    const std::string source = dir.File("float.wav");
    ASSERT_EQ(RunProcess("sox -n -r 48000 -b 24 -c 2 " + ShellQuote(source) + ".24.wav synth 1 sine 440 sine 1000 vol 0.7"
                         " && sox " + ShellQuote(source) + ".24.wav -e floating-point -b 32 " + ShellQuote(source))
                  .exitCode,
              0);
    const std::string out = ConvertWithCli(dir, source, "WAV", "wav", "2,3072,32,48000");
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(Trimmed(RunProcess("ffprobe -v error -show_entries stream=codec_name -of csv=p=0 " + ShellQuote(out)).output),
              "pcm_f32le");
    EXPECT_EQ(Samples(out), Samples(source));
}

// What FFmpeg's reader decodes from each lossy type is exactly the source, however short: the
// encoders' priming and padding are signalled so that it trims both ends. An M4A file also says
// so in its iTunSMPB comment (priming, padding, length) for the players that read that.
TEST(Lossless, LossyFilesDecodeToTheirSourcesLength) {
    test::TempDir dir;
    const struct {
        const char* name;
        const char* length;  // as ffmpeg's atrim or -t takes it
        std::size_t frames;
    } sources[] = {{"nine", "atrim=end_sample=9", 9}, {"second", "atrim=end=1", 48000}, {"minute", "atrim=end=60", 2880000}};
    const std::tuple<const char*, const char*, const char*> types[] = {{"LAME MP3", "mp3", "1,192,0,48000"},
                                                                      {"Ogg Vorbis", "ogg", "1,128,0,48000"},
                                                                      {"M4A AAC", "m4a", "1,128,0,48000"},
                                                                      {"Opus", "opus", "1,96,0,48000"}};
    for (const auto& source : sources) {
        const std::string path = dir.File(std::string(source.name) + ".wav");
        ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i sine=f=440:sample_rate=48000 -af " +
                             std::string(source.length) + " -c:a pcm_s16le " + ShellQuote(path))
                      .exitCode,
                  0);
        for (const auto& [type, extension, quality] : types) {
            SCOPED_TRACE(std::string(source.name) + " to " + type);
            const std::string out = ConvertWithCli(dir, path, type, extension, quality);
            ASSERT_FALSE(out.empty());
            EXPECT_EQ(DecodedFrames(out), source.frames);
            if (std::string(extension) != "m4a") continue;
            const std::string smpb = Trimmed(
                RunProcess("ffprobe -v error -show_entries format_tags=iTunSMPB -of csv=p=0 " + ShellQuote(out)).output);
            std::istringstream fields(smpb);
            unsigned long long zero = 1, priming = 0, padding = 0, length = 0;
            fields >> std::hex >> zero >> priming >> padding >> length;
            EXPECT_EQ(length, source.frames) << smpb;
        }
    }
}

// An M4A made from a lossy source ends where the source does: the source's own priming and padding
// (an MP3's LAME figures, Opus's pre-skip, an M4A's edit list) are no part of its length.
TEST(Lossless, M4aFromALossySourceDecodesToTheSourcesLength) {
    test::TempDir dir;
    // FFmpeg decodes an M4A's last frame whole, past the end its edit list gives.
    const std::tuple<const char*, const char*, std::size_t, std::size_t> sources[] = {
        {"tone.mp3", "-c:a libmp3lame -ar 44100 -ac 2", 44100, 44100},
        {"tone.opus", "-c:a libopus -ac 2", 48000, 48000},
        {"tone.m4a", "-c:a aac -ar 48000 -ac 2", 48000, 48128}};
    for (const auto& [name, options, rate, decodedByFfmpeg] : sources) {
        SCOPED_TRACE(name);
        const std::string path = dir.File(name);
        ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i sine=f=440:d=1 " + std::string(options) + " " +
                             ShellQuote(path))
                      .exitCode,
                  0);
        ASSERT_EQ(DecodedFrames(path), decodedByFfmpeg) << "the source as FFmpeg decodes it";
        const std::string quality = "2,128,0," + std::to_string(rate);
        EXPECT_EQ(DecodedFrames(ConvertWithCli(dir, path, "M4A AAC", "m4a", quality)), rate);
    }
}

// The same list converted twice writes the same Ogg bytes: the stream serial is no random number.
TEST(Lossless, OggFilesAreTheSameInEveryRun) {
    test::TempDir dir;
    const std::string source = dir.File("tone.wav");
    ASSERT_EQ(RunProcess("sox -n -r 48000 -b 16 -c 2 " + ShellQuote(source) + " synth 1 sine 440").exitCode, 0);
    for (const auto& [type, extension, quality] : {std::tuple{"Ogg Vorbis", "ogg", "2,128,0,48000"},
                                                   std::tuple{"Opus", "opus", "2,96,0,48000"}}) {
        SCOPED_TRACE(type);
        const std::string first = ConvertWithCli(dir, source, type, extension, quality);
        ASSERT_FALSE(first.empty());
        const std::string bytes = test::ReadBytes(first);
        const std::string list = std::filesystem::path(first).parent_path().string() + "/list.tsl";
        std::filesystem::remove(first);
        ASSERT_EQ(RunProcess(CliPath() + " convert " + ShellQuote(list) + " >/dev/null 2>&1").exitCode, 0);
        EXPECT_TRUE(test::ReadBytes(first) == bytes);
    }
}

// MP3 tags are ID3v2.4 unless an older device asks for 2.3; the tags themselves are the same.
TEST(Lossless, Mp3TagsAreId3v24OrOnRequest23) {
    test::TempDir dir;
    const std::string source = dir.File("tagged.wav");
    ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i sine=d=1 -metadata artist=Someone " +
                         ShellQuote(source))
                  .exitCode,
              0);
    for (const auto& [options, version] : {std::pair{"", '\x04'}, std::pair{"--id3=2.3", '\x03'}}) {
        SCOPED_TRACE(options);
        const std::string mp3 = ConvertWithCli(dir, source, "LAME MP3", "mp3", "1,192,0,44100", options);
        ASSERT_FALSE(mp3.empty());
        EXPECT_EQ(test::ReadBytes(mp3).substr(0, 4), std::string("ID3") + version);
        EXPECT_EQ(Trimmed(RunProcess("ffprobe -v error -show_entries format_tags=artist -of csv=p=0 " +
                                     ShellQuote(mp3))
                              .output),
                  "Someone");
    }
}

}  // namespace
}  // namespace tessival
