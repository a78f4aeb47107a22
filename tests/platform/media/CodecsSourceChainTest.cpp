// Every source type through its typed chain to PCM: the result must have the source's length
// (as ffmpeg decodes it, within one codec frame) and the same audio.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/media/CodecsChain.h"
#include "platform/media/CodecsFixtures.h"
#include "platform/media/MediaFixtures.h"
#include "platform/media/WaveFileSupport.h"
#include "support/TempDir.h"

namespace tessival::media::test {
namespace {

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
    ::testing::ValuesIn(kSourceCases),
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

// An M4A ends where its edit list says, though its last AAC frame decodes whole; one without an
// edit list keeps every frame, as FFmpeg decodes it.
TEST(CodecsSourceChainTest, M4aDecodesToTheLengthItsEditListGives) {
    const struct {
        const char* name;
        const char* options;
        const char* frames;
    } cases[] = {{"second", "-af atrim=end=1", "48000"},
                 {"nine", "-af atrim=end_sample=9 -movie_timescale 48000", "9"},
                 {"no edit list", "-af atrim=end=1 -use_editlist 0", "49152"}};
    tessival::test::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = dir.File("t.m4a"), dest = dir.File("t.wav");
        ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i sine=sample_rate=48000 -c:a aac " +
                             std::string(c.options) + " " + ShellQuote(source))
                      .exitCode,
                  0);
        CodecsChain chain(ChainKind::Media, source, dest);
        ASSERT_EQ(chain.Convert(), S_OK);
        EXPECT_EQ(Probe(dest).at("duration_ts"), c.frames);
    }
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
