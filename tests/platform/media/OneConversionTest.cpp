// Decoded audio is resampled and remixed once: with the encoder's format chosen first, the decoder
// converts straight to it and the filters after it pass the audio through.
#include <gtest/gtest.h>

#include <array>

#include "platform/media/CodecsChain.h"
#include "platform/media/CodecsCompressorCheck.h"
#include "platform/media/MediaFixtures.h"
#include "support/TempDir.h"

namespace tessival::media::test {
namespace {

using tessival::test::TempDir;

// Rate, channels and width of a pin's connection; zeros when it has none.
std::array<int, 3> Connection(const std::shared_ptr<IBaseFilter>& filter, PIN_DIRECTION direction) {
    MediaType type;
    const auto pin = PinOf(filter, direction);
    if (!pin || pin->ConnectionMediaType(type) != S_OK || !type.WaveFormat()) return {0, 0, 0};
    const WAVEFORMATEX& wave = *type.WaveFormat();
    return {static_cast<int>(wave.nSamplesPerSec), wave.nChannels, wave.wBitsPerSample};
}

void ExpectOneSecondOf440Hz(const std::string& out, int rate, int channels) {
    EXPECT_EQ(ProbedInt(out, "sample_rate"), rate);
    EXPECT_EQ(ProbedInt(out, "channels"), channels);
    const auto samples = DecodeFloat(out, 44100, 2);
    EXPECT_NEAR(static_cast<double>(samples.size() / 2), 44100.0, 0.05 * 44100);
    EXPECT_NEAR(ZeroCrossings(samples, 44100, 0.25, 0.75), 440, 10);
}

TEST(OneConversion, Ac3SurroundInAVobIsMixedAndResampledByItsDecoder) {
    TempDir dir;
    ASSERT_TRUE(MakeSine(dir.File("a.vob"), 440, 48000, 6, "ac3 -b:a 384k -f vob"));
    const WAVEFORMATEX chosen = MakePcmFormat(44100, 2, 16);
    CodecsChain chain(ChainKind::Vob, dir.File("a.vob"), dir.File("out.wav"), "PCM", &chosen);
    ASSERT_EQ(chain.built, S_OK);
    // Slots: reader, splitter, AC3Filter, ACM Wrapper.
    EXPECT_EQ(Connection(chain.slots[2], PINDIR_INPUT)[1], 6);
    EXPECT_EQ(Connection(chain.slots[2], PINDIR_OUTPUT), (std::array<int, 3>{44100, 2, 16}));
    EXPECT_EQ(Connection(chain.slots[3], PINDIR_OUTPUT), (std::array<int, 3>{44100, 2, 16}));
    EXPECT_EQ(Connection(chain.encoder, PINDIR_INPUT), (std::array<int, 3>{44100, 2, 16}));
    ASSERT_EQ(chain.Convert(), S_OK);
    ExpectOneSecondOf440Hz(dir.File("out.wav"), 44100, 2);
}

TEST(OneConversion, Mp3DecoderGivesTheCompressorItsRateAndChannels) {
    TempDir dir;
    ASSERT_TRUE(MakeSine(dir.File("a.mp3"), 440, 44100, 2, "libmp3lame -b:a 128k"));
    const WAVEFORMATEX chosen = MakePcmFormat(22050, 1, 16);
    CodecsChain chain(ChainKind::Mp3, dir.File("a.mp3"), dir.File("out.wav"), "PCM", &chosen);
    ASSERT_EQ(chain.built, S_OK);
    EXPECT_EQ(Connection(chain.encoder, PINDIR_INPUT), (std::array<int, 3>{22050, 1, 16}));
    ASSERT_EQ(chain.Convert(), S_OK);
    ExpectOneSecondOf440Hz(dir.File("out.wav"), 22050, 1);
}

// Nothing decodes before the compressor, so it converts; the file's format reaches it unchanged.
TEST(OneConversion, PcmFromAFileKeepsItsFormatUpToTheCompressor) {
    TempDir dir;
    ASSERT_TRUE(MakeSine(dir.File("a.wav"), 440, 48000, 2, "pcm_s16le"));
    const WAVEFORMATEX chosen = MakePcmFormat(22050, 1, 16);
    CodecsChain chain(ChainKind::Wave, dir.File("a.wav"), dir.File("out.wav"), "PCM", &chosen);
    ASSERT_EQ(chain.built, S_OK);
    EXPECT_EQ(Connection(chain.encoder, PINDIR_INPUT), (std::array<int, 3>{48000, 2, 16}));
    ASSERT_EQ(chain.Convert(), S_OK);
    ExpectOneSecondOf440Hz(dir.File("out.wav"), 22050, 1);
}

// An MP3 compressor takes the decoder's own width (16-bit from "ACM Wrapper" decoders) at its rate.
TEST(OneConversion, Mp3CompressorGetsTheDecodersWidthAtItsOwnRate) {
    TempDir dir;
    ASSERT_TRUE(MakeSine(dir.File("a.vob"), 440, 48000, 6, "ac3 -b:a 384k -f vob"));
    MediaType mp3;
    for (const MediaType& type : CapabilitiesOf("MPEG Layer-3"))
        if (type.WaveFormat()->nSamplesPerSec == 32000 && type.WaveFormat()->nChannels == 1) mp3 = type;
    ASSERT_TRUE(mp3.WaveFormat());
    CodecsChain chain(ChainKind::Vob, dir.File("a.vob"), dir.File("out.wav"), "MPEG Layer-3", mp3.WaveFormat());
    ASSERT_EQ(chain.built, S_OK);
    EXPECT_EQ(Connection(chain.slots[2], PINDIR_OUTPUT), (std::array<int, 3>{32000, 1, 16}));
    EXPECT_EQ(Connection(chain.encoder, PINDIR_INPUT), (std::array<int, 3>{32000, 1, 16}));
    ASSERT_EQ(chain.Convert(), S_OK);
    EXPECT_EQ(ProbedInt(dir.File("out.wav"), "sample_rate"), 32000);
    EXPECT_NEAR(ZeroCrossings(DecodeFloat(dir.File("out.wav"), 44100, 2), 44100, 0.25, 0.75), 440, 10);
}

}  // namespace
}  // namespace tessival::media::test
