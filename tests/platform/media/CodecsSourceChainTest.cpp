// Every source type through its typed chain to PCM: the result must have the source's length
// (as ffmpeg decodes it, within one codec frame) and the same audio.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/media/CodecsChain.h"
#include "platform/media/MediaFixtures.h"
#include "platform/media/WaveFileSupport.h"
#include "support/TempDir.h"

namespace tessival::media::test {
namespace {

struct SourceCase {
    const char* name;
    const char* file;
    ChainKind chain;
    const char* ffmpegOutput;  // codecs and muxer options after the audio (and video) inputs
    bool withVideo;
    bool videoFirst;           // video mapped as the first stream
    int frame;                 // samples per codec frame: the length tolerance
};

void PrintTo(const SourceCase& c, std::ostream* out) { *out << c.name; }

constexpr const char* kVideo = "-f lavfi -i testsrc=duration=2.5:size=352x240:rate=25 ";

bool MakeSource(const SourceCase& c, const std::string& path) {
    std::string inputs = "-f lavfi -i 'sine=frequency=440:sample_rate=44100:duration=2.5' "
                         "-f lavfi -i 'sine=frequency=1250:sample_rate=44100:duration=2.5' ";
    std::string maps = "-filter_complex '[0][1]amerge=inputs=2,pan=stereo|c0=0.8*c0|c1=0.7*c1,volume=4[a]' ";
    if (c.withVideo) {
        inputs += kVideo;
        maps += c.videoFirst ? "-map 2:v -map '[a]' " : "-map '[a]' -map 2:v ";
    } else {
        maps += "-map '[a]' ";
    }
    return RunProcess("ffmpeg -nostdin -v error -y " + inputs + maps + c.ffmpegOutput + " " + ShellQuote(path))
               .exitCode == 0;
}

class CodecsSourceChainTest : public ::testing::TestWithParam<SourceCase> {};

TEST_P(CodecsSourceChainTest, DecodesToPcmOfTheSourcesLengthAndSound) {
    const SourceCase& c = GetParam();
    tessival::test::TempDir dir;
    const std::string source = dir.File(c.file), dest = dir.File("out.wav");
    ASSERT_TRUE(MakeSource(c, source));

    CodecsChain chain(c.chain, source, dest);
    ASSERT_EQ(chain.built, S_OK);
    ASSERT_EQ(chain.Convert(), S_OK);

    const auto probe = Probe(source);
    const int rate = std::stoi(probe.at("sample_rate")), channels = std::stoi(probe.at("channels"));
    const auto reference = DecodeFloat(source, rate, channels);
    const auto ours = DecodeFloat(dest, rate, channels);
    ASSERT_FALSE(reference.empty());
    const long frames = static_cast<long>(ours.size() / channels), expected = static_cast<long>(reference.size() / channels);
    EXPECT_LE(std::labs(frames - expected), c.frame) << "ours " << frames << ", ffmpeg " << expected;
    EXPECT_LT(RelativeError(reference, ours), 0.02);
    const auto out = Probe(dest);
    EXPECT_EQ(out.at("codec_name"), "pcm_s16le");
    EXPECT_EQ(out.at("sample_rate"), std::to_string(rate));
}

INSTANTIATE_TEST_SUITE_P(
    EverySourceType, CodecsSourceChainTest,
    ::testing::Values(
        SourceCase{"Wma", "a.wma", ChainKind::WindowsMedia, "-c:a wmav2 -b:a 128k", false, false, 2048},
        SourceCase{"WmaVersion1InAsf", "a.asf", ChainKind::WindowsMedia, "-c:a wmav1 -b:a 96k", false, false, 2048},
        SourceCase{"Wmv", "a.wmv", ChainKind::WindowsMedia, "-c:v wmv2 -c:a wmav2 -b:a 128k -f asf", true, true, 2048},
        SourceCase{"MpegOneWithMp2", "a.mpg", ChainKind::Mpeg, "-c:v mpeg1video -c:a mp2 -b:a 192k -f mpeg", true, true,
                   1152},
        SourceCase{"VideoCd", "a.dat", ChainKind::Mpeg, "-target pal-vcd", true, true, 1152},
        SourceCase{"DvdWithAc3", "a.vob", ChainKind::Vob, "-target pal-dvd -ar 48000 -c:a ac3 -b:a 192k", true, true, 1536},
        SourceCase{"AviAudioFirst", "a0.avi", ChainKind::Avi, "-c:a libmp3lame -b:a 128k -c:v mjpeg", true, false, 1152},
        SourceCase{"AviAudioSecond", "a1.avi", ChainKind::Avi, "-c:v mjpeg -c:a pcm_s16le", true, true, 0},
        SourceCase{"Wave", "a.wav", ChainKind::Wave, "-c:a pcm_s16le", false, false, 0},
        SourceCase{"Mp3ConstantWithId3", "cbr.mp3", ChainKind::Mp3,
                   "-c:a libmp3lame -b:a 128k -id3v2_version 3 -metadata title=Tone", false, false, 1152},
        SourceCase{"Mp3VariableWithId3", "vbr.mp3", ChainKind::Mp3,
                   "-c:a libmp3lame -q:a 4 -id3v2_version 4 -metadata artist=Test", false, false, 1152},
        SourceCase{"Mp2", "a.mp2", ChainKind::Mpeg, "-c:a mp2 -b:a 160k", false, false, 1152}),
    [](const auto& info) { return std::string(info.param.name); });

// The encoder delay and padding that the MP3 file's own header announces are dropped: the
// result has exactly the source tone's length, not a frame more.
TEST(CodecsSourceChainTest, Mp3DecodesToTheExactLengthItWasMadeFrom) {
    tessival::test::TempDir dir;
    const std::string source = dir.File("t.mp3"), dest = dir.File("t.wav");
    ASSERT_TRUE(MakeTone(source, 44100, 2, "libmp3lame", 1.0, "-b:a 192k"));
    CodecsChain chain(ChainKind::Mp3, source, dest);
    ASSERT_EQ(chain.Convert(), S_OK);
    EXPECT_EQ(Probe(dest).at("duration_ts"), "44100");
}

// Files that are not what their chain expects, or are damaged, fail cleanly.
TEST(CodecsSourceChainTest, DamagedOrMismatchedSourcesFailWithoutHanging) {
    tessival::test::TempDir dir;
    const std::string wav = dir.File("t.wav"), junk = dir.File("junk.mpg"), cut = dir.File("cut.wma");
    ASSERT_TRUE(MakeTone(wav, 22050, 1, "pcm_s16le", 0.5));
    EXPECT_FALSE(SUCCEEDED(CodecsChain(ChainKind::Mpeg, wav, dir.File("o1.wav")).built));
    EXPECT_FALSE(SUCCEEDED(CodecsChain(ChainKind::Avi, wav, dir.File("o2.wav")).built));
    RunProcess("head -c 3000 /dev/urandom > " + ShellQuote(junk));
    EXPECT_FALSE(SUCCEEDED(CodecsChain(ChainKind::Mpeg, junk, dir.File("o3.wav")).built));
    ASSERT_TRUE(MakeTone(dir.File("whole.wma"), 44100, 2, "wmav2", 2.0));
    RunProcess("head -c 9000 " + ShellQuote(dir.File("whole.wma")) + " > " + ShellQuote(cut));
    // A cut file converts what it holds into a valid WAVE file, or fails and leaves nothing.
    const std::string out = dir.File("o4.wav");
    CodecsChain truncated(ChainKind::WindowsMedia, cut, out);
    const HRESULT hr = truncated.Convert();
    std::ifstream file(out, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (hr == S_OK)
        EXPECT_TRUE(SizesAreConsistent(bytes));
    else
        EXPECT_TRUE(bytes.empty());
}

}  // namespace
}  // namespace tessival::media::test
