// Sources that change, break or shrink on the way: joined files, damaged frames, unclosed and
// truncated WAVE files, cover art. Each is converted through its typed chain into a PCM WAVE
// and checked with ffprobe and ffmpeg.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/media/CodecsChain.h"
#include "platform/media/MediaFixtures.h"
#include "platform/media/WaveFileSupport.h"
#include "support/TempDir.h"

namespace tessival::media::test {
namespace {

using tessival::test::ReadBytes;
using tessival::test::TempDir;
using tessival::test::WriteBytes;

std::string Concatenate(const TempDir& dir, const std::string& name, const std::vector<std::string>& parts) {
    std::string joined;
    for (const auto& part : parts) joined += ReadBytes(part);
    WriteBytes(dir.File(name), joined);
    return dir.File(name);
}

// Stereo frames of 16-bit PCM in a WAVE file (by ffmpeg's reading of it).
std::size_t StereoFrames(const std::string& path, int rate) { return DecodeFloat(path, rate, 2).size() / 2; }

struct ChangingStreamCase {
    const char* name;
    ChainKind chain;
    const char* extension;
    const char* firstCodec;  // 1 s of 440 Hz
    int rate;
    int channels;
    const char* secondCodec;  // then 1 s of 660 Hz at another rate or channel count
    int secondRate;
    int secondChannels;
};

void PrintTo(const ChangingStreamCase& c, std::ostream* out) { *out << c.name; }

class ChangingStream : public ::testing::TestWithParam<ChangingStreamCase> {};

// Both parts converted and at their own pitch (the second file's encoder delay and padding come
// along). chosen: the compressor's format, set first as the program's run does, so that the
// decoder converts each part straight to it; else the compressor's default for its input.
void ConvertBothParts(const ChangingStreamCase& c, const WAVEFORMATEX* chosen) {
    TempDir dir;
    const std::string first = dir.File(std::string("1.") + c.extension), second = dir.File(std::string("2.") + c.extension);
    ASSERT_TRUE(MakeSine(first, 440, c.rate, c.channels, c.firstCodec));
    ASSERT_TRUE(MakeSine(second, 660, c.secondRate, c.secondChannels, c.secondCodec));
    const std::string joined = Concatenate(dir, std::string("joined.") + c.extension, {first, second});
    const std::string out = dir.File("out.wav");

    CodecsChain chain(c.chain, joined, out, "PCM", chosen);
    ASSERT_EQ(chain.built, S_OK);
    MediaType negotiated;
    ASSERT_EQ(PinOf(chain.encoder, PINDIR_INPUT)->ConnectionMediaType(negotiated), S_OK);
    const WAVEFORMATEX& expected = chosen ? *chosen : *negotiated.WaveFormat();
    ASSERT_EQ(chain.Convert(), S_OK);
    EXPECT_EQ(ProbedInt(out, "sample_rate"), static_cast<int>(expected.nSamplesPerSec));
    EXPECT_EQ(ProbedInt(out, "channels"), expected.nChannels);
    const int rate = 44100;
    const auto samples = DecodeFloat(out, rate, 2);
    EXPECT_NEAR(static_cast<double>(samples.size() / 2), 2.0 * rate, 0.1 * rate);
    EXPECT_NEAR(ZeroCrossings(samples, rate, 0.25, 0.75), 440, 10);
    EXPECT_NEAR(ZeroCrossings(samples, rate, 1.25, 1.75), 660, 10);
}

// Formerly a crash in the resampler, which kept the first frame's layout for every frame.
TEST_P(ChangingStream, ConvertsEveryPartInTheNegotiatedFormat) { ConvertBothParts(GetParam(), nullptr); }

TEST_P(ChangingStream, ConvertsEveryPartToTheFormatChosenFirst) {
    const WAVEFORMATEX chosen = MakePcmFormat(32000, 2, 16);
    ConvertBothParts(GetParam(), &chosen);
}

INSTANTIATE_TEST_SUITE_P(
    DamagedSource, ChangingStream,
    ::testing::Values(ChangingStreamCase{"Mp3StereoThenMonoAtHalfTheRate", ChainKind::Mp3, "mp3",
                                         "libmp3lame -b:a 128k", 44100, 2, "libmp3lame -b:a 64k", 22050, 1},
                      ChangingStreamCase{"Ac3SurroundThenStereoInVob", ChainKind::Vob, "vob",
                                         "ac3 -b:a 384k -f vob", 48000, 6, "ac3 -b:a 192k -f vob", 48000, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// A piece of garbage inside an MP3: players skip it; so do we.
TEST(DamagedSource, GarbageInsideAnMp3IsSkipped) {
    TempDir dir;
    const std::string clean = dir.File("clean.mp3");
    ASSERT_TRUE(MakeTone(clean, 44100, 2, "libmp3lame -b:a 128k", 4.0));
    std::string bytes = ReadBytes(clean);
    std::string garbage(700, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919 + 13) % 251);
    bytes.insert(bytes.size() / 2, garbage);
    WriteBytes(dir.File("damaged.mp3"), bytes);

    CodecsChain chain(ChainKind::Mp3, dir.File("damaged.mp3"), dir.File("out.wav"));
    ASSERT_EQ(chain.Convert(), S_OK);
    EXPECT_NEAR(static_cast<double>(StereoFrames(dir.File("out.wav"), 44100)), 4.0 * 44100, 0.1 * 44100);
    // The audio after the damage is still the tone, not silence.
    const auto samples = DecodeFloat(dir.File("out.wav"), 44100, 2);
    float peak = 0;
    for (std::size_t i = samples.size() * 3 / 4; i < samples.size(); ++i) peak = std::max(peak, std::abs(samples[i]));
    EXPECT_GT(peak, 0.3f);
}

// Garbage that only looks like a compressed WAVE: nothing decodes, so the stream fails.
TEST(DamagedSource, AStreamOfWhichNothingDecodesFails) {
    TempDir dir;
    std::string file = "RIFF____WAVEfmt ";
    const std::uint8_t fmt[] = {18, 0, 0, 0, 0x00, 0x20, 2, 0, 0x80, 0xBB, 0, 0, 0x00, 0x77, 1, 0, 1, 0, 0, 0, 0, 0};
    file.append(reinterpret_cast<const char*>(fmt), sizeof fmt);
    file += "data";
    const std::uint32_t dataSize = 20000;
    file.append(reinterpret_cast<const char*>(&dataSize), 4);
    for (std::uint32_t i = 0; i < dataSize; ++i) file += static_cast<char>(i * 31 % 256);
    const std::uint32_t riffSize = static_cast<std::uint32_t>(file.size() - 8);
    std::memcpy(file.data() + 4, &riffSize, 4);
    WriteBytes(dir.File("noise.wav"), file);

    CodecsChain chain(ChainKind::Wave, dir.File("noise.wav"), dir.File("out.wav"));
    EXPECT_EQ(chain.Convert(), VFW_E_INVALID_FILE_FORMAT);
}

// Headers not to be believed: an extensible format whose 18-byte fmt chunk claims 65535 more
// bytes (its subformat never given), and rates no audio has. Each fails instead of becoming noise
// or a resampler the size of the machine.
TEST(DamagedSource, ImpossibleWaveHeadersFail) {
    struct Header {
        const char* name;
        std::uint16_t tag;
        std::uint32_t rate;
        std::uint16_t cbSize;
    };
    const Header headers[] = {{"extensible, cbSize 65535", 0xFFFE, 48000, 0xFFFF},
                              {"0 Hz", 1, 0, 0},
                              {"910 MHz", 1, 910000000, 0}};
    TempDir dir;
    for (const Header& h : headers) {
        SCOPED_TRACE(h.name);
        WAVEFORMATEX fmt = MakePcmFormat(h.rate, 2, 16);
        fmt.wFormatTag = h.tag;
        fmt.cbSize = h.cbSize;
        std::string file = "RIFF____WAVEfmt ";
        const std::uint32_t fmtSize = sizeof fmt, dataSize = 40000;
        file.append(reinterpret_cast<const char*>(&fmtSize), 4);
        file.append(reinterpret_cast<const char*>(&fmt), sizeof fmt);
        file += "data";
        file.append(reinterpret_cast<const char*>(&dataSize), 4);
        for (std::uint32_t i = 0; i < dataSize; ++i) file += static_cast<char>(i * 31 % 256);
        const std::uint32_t riffSize = static_cast<std::uint32_t>(file.size() - 8);
        std::memcpy(file.data() + 4, &riffSize, 4);
        WriteBytes(dir.File("bad.wav"), file);
        CodecsChain chain(ChainKind::Wave, dir.File("bad.wav"), dir.File("out.wav"));
        EXPECT_TRUE(FAILED(chain.Convert()));
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.wav")));
    }
}

// A recording that was never closed: RIFF and data sizes still 0.
TEST(DamagedSource, UnclosedWaveIsReadToTheEndOfTheFile) {
    TempDir dir;
    const std::string source = dir.File("unclosed.wav");
    ASSERT_TRUE(MakeTone(source, 22050, 2, "pcm_s16le", 1.5, "-bitexact"));
    std::string bytes = ReadBytes(source);
    const ChunkAt data = FindChunk(bytes, "data");
    ASSERT_NE(data.body, std::string::npos);
    std::memset(bytes.data() + 4, 0, 4);
    std::memset(bytes.data() + data.body - 4, 0, 4);
    WriteBytes(source, bytes);

    CodecsChain chain(ChainKind::Wave, source, dir.File("out.wav"));
    ASSERT_EQ(chain.Convert(), S_OK);
    EXPECT_EQ(StereoFrames(dir.File("out.wav"), 22050), 33075u);
}

class ShrinkingSource : public ::testing::TestWithParam<ChainKind> {};

// The file loses its second half between opening and reading: that is no complete conversion.
TEST_P(ShrinkingSource, FailsInsteadOfEndingEarly) {
    TempDir dir;
    const bool wave = GetParam() == ChainKind::Wave;
    const std::string source = dir.File(wave ? "long.wav" : "long.mp3");
    ASSERT_TRUE(MakeTone(source, 44100, 2, wave ? "pcm_s16le" : "libmp3lame -b:a 128k", 30.0));
    CodecsChain chain(GetParam(), source, dir.File("out.wav"));
    ASSERT_EQ(chain.built, S_OK);
    ASSERT_EQ(::truncate(source.c_str(), static_cast<off_t>(std::filesystem::file_size(source) / 2)), 0);
    EXPECT_EQ(chain.Convert(), STG_E_READFAULT);
}

INSTANTIATE_TEST_SUITE_P(DamagedSource, ShrinkingSource, ::testing::Values(ChainKind::Wave, ChainKind::Mp3),
                         [](const auto& info) { return info.param == ChainKind::Wave ? "Wave" : "Mp3"; });

// A cover picture is no video: the MP3 keeps its one audio output and its typed chain.
TEST(DamagedSource, Mp3CoverArtGetsNoPin) {
    TempDir dir;
    const std::string cover = dir.File("cover.png"), plain = dir.File("plain.mp3"), mp3 = dir.File("cover.mp3");
    ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x64:duration=0.04 -frames:v 1 " +
                         ShellQuote(cover)).exitCode, 0);
    ASSERT_TRUE(MakeTone(plain, 44100, 2, "libmp3lame -b:a 128k", 1.0));
    ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -y -i " + ShellQuote(plain) + " -i " + ShellQuote(cover) +
                         " -map 0 -map 1 -c copy -id3v2_version 3 -disposition:v attached_pic " + ShellQuote(mp3))
                  .exitCode, 0);

    CodecsChain chain(ChainKind::Mp3, mp3, dir.File("out.wav"));
    ASSERT_EQ(chain.built, S_OK);
    std::shared_ptr<IEnumPins> pins;
    chain.slots[1]->EnumPins(pins);
    ASSERT_EQ(pins->All().size(), 2u);  // "Input" and "Audio"
    PIN_INFO info;
    pins->All()[1]->QueryPinInfo(info);
    EXPECT_EQ(info.achName, "Audio");
    ASSERT_EQ(chain.Convert(), S_OK);
    EXPECT_EQ(ProbedInt(dir.File("out.wav"), "channels"), 2);
}

}  // namespace
}  // namespace tessival::media::test
