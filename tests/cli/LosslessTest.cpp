#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
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
    const char* make;  // the sox or ffmpeg command after the program name; OUT is the file
    const char* bits;  // the FLAC's depth
    const char* rate;
    const char* channels;
    std::int32_t tolerance;  // in 32-bit steps: 0 is exact, 128 is rounding to 24 bits
};

const LosslessSource kLosslessSources[] = {
    {"float with 24-bit content", "sox -n -r 48000 -b 24 OUT.24.wav synth 1 sine 440 sine 1000 vol 0.7 && sox "
                                  "OUT.24.wav -e floating-point -b 32 OUT",
     "24", "48000", "2", 0},
    {"32-bit integer", "sox -n -r 44100 -b 32 -c 2 OUT synth 1 sine 440 sine 1000 vol 0.7", "24", "44100", "2", 128},
    {"24-bit 96 kHz", "sox -n -r 96000 -b 24 -c 2 OUT synth 1 sine 440 sine 1000 vol 0.7", "24", "96000", "2", 0},
    {"16-bit", "sox -n -r 44100 -b 16 -c 1 OUT synth 1 sine 440 vol 0.7", "16", "44100", "1", 0},
};

TEST(Lossless, FlacAtSourceKeepsEverySampleOfEachSourceAndSignsIt) {
    test::TempDir dir;
    for (const LosslessSource& source : kLosslessSources) {
        SCOPED_TRACE(source.name);
        const std::string path = dir.File(std::string(source.name) + ".wav");
        std::string make = source.make;
        for (std::size_t at; (at = make.find("OUT")) != std::string::npos;) make.replace(at, 3, ShellQuote(path));
        ASSERT_EQ(RunProcess(make).exitCode, 0);
        const std::string flac = ConvertWithCli(dir, path, "FLAC", "flac", std::string(source.channels) + ",5,Source,Source",
                                                "--dither=none");
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

}  // namespace
}  // namespace tessival
