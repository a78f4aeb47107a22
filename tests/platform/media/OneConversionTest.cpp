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
using Format = std::array<int, 3>;  // rate, channels, bits

// A pin's connection; zeros when it has none.
Format Connection(const std::shared_ptr<IBaseFilter>& filter, PIN_DIRECTION direction) {
    MediaType type;
    const auto pin = PinOf(filter, direction);
    if (!pin || pin->ConnectionMediaType(type) != S_OK || !type.WaveFormat()) return {0, 0, 0};
    const WAVEFORMATEX& wave = *type.WaveFormat();
    return {static_cast<int>(wave.nSamplesPerSec), wave.nChannels, wave.wBitsPerSample};
}

struct OneConversionCase {
    const char* name;
    ChainKind chain;
    const char* file;
    int channels;       // of the 48000 Hz source
    const char* codec;  // ffmpeg's options for the source
    Format chosen;      // the PCM compressor's format
    Format intoEncoder;
};

void PrintTo(const OneConversionCase& c, std::ostream* out) { *out << c.name; }

class OneConversion : public ::testing::TestWithParam<OneConversionCase> {};

TEST_P(OneConversion, TheCompressorGetsItsFormatFromTheDecoderOrItsSourcesFormat) {
    const auto& c = GetParam();
    TempDir dir;
    ASSERT_TRUE(MakeSine(dir.File(c.file), 440, 48000, c.channels, c.codec));
    const WAVEFORMATEX chosen = MakePcmFormat(c.chosen[0], static_cast<std::uint16_t>(c.chosen[1]),
                                              static_cast<std::uint16_t>(c.chosen[2]));
    CodecsChain chain(c.chain, dir.File(c.file), dir.File("out.wav"), "PCM", &chosen);
    ASSERT_EQ(chain.built, S_OK);
    EXPECT_EQ(Connection(chain.encoder, PINDIR_INPUT), c.intoEncoder);
    ASSERT_EQ(chain.Convert(), S_OK);
    const std::string out = dir.File("out.wav");
    EXPECT_EQ(ProbedInt(out, "sample_rate"), c.chosen[0]);
    EXPECT_EQ(ProbedInt(out, "channels"), c.chosen[1]);
    const auto samples = DecodeFloat(out, 44100, 2);
    EXPECT_NEAR(static_cast<double>(samples.size() / 2), 44100.0, 0.05 * 44100);
    EXPECT_NEAR(ZeroCrossings(samples, 44100, 0.25, 0.75), 440, 10);
}

INSTANTIATE_TEST_SUITE_P(
    Chains, OneConversion,
    ::testing::Values(
        OneConversionCase{"VobAc3Surround", ChainKind::Vob, "a.vob", 6, "ac3 -b:a 384k -f vob", {44100, 2, 16},
                          {44100, 2, 16}},
        OneConversionCase{"Mp3", ChainKind::Mp3, "a.mp3", 2, "libmp3lame -b:a 128k", {22050, 1, 16}, {22050, 1, 16}},
        // Nothing decodes before the compressor, so it converts: the file's format reaches it.
        OneConversionCase{"PcmWave", ChainKind::Wave, "a.wav", 2, "pcm_s16le", {22050, 1, 16}, {48000, 2, 16}}),
    [](const auto& info) { return std::string(info.param.name); });

// Inside the VOB chain: AC3Filter mixes and resamples, the ACM Wrapper behind it passes through.
TEST(OneConversionInside, Ac3FilterConvertsAndTheAcmWrapperPassesThrough) {
    TempDir dir;
    ASSERT_TRUE(MakeSine(dir.File("a.vob"), 440, 48000, 6, "ac3 -b:a 384k -f vob"));
    const WAVEFORMATEX chosen = MakePcmFormat(44100, 2, 16);
    CodecsChain chain(ChainKind::Vob, dir.File("a.vob"), dir.File("out.wav"), "PCM", &chosen);
    ASSERT_EQ(chain.built, S_OK);
    // Slots: reader, splitter, AC3Filter, ACM Wrapper.
    EXPECT_EQ(Connection(chain.slots[2], PINDIR_INPUT)[1], 6);
    EXPECT_EQ(Connection(chain.slots[2], PINDIR_OUTPUT), (Format{44100, 2, 16}));
    EXPECT_EQ(Connection(chain.slots[3], PINDIR_INPUT), (Format{44100, 2, 16}));
}

// An MP3 compressor takes the decoder's own width (16-bit from "ACM Wrapper" decoders) at its rate.
TEST(OneConversionInside, Mp3CompressorGetsTheDecodersWidthAtItsOwnRate) {
    TempDir dir;
    ASSERT_TRUE(MakeSine(dir.File("a.vob"), 440, 48000, 6, "ac3 -b:a 384k -f vob"));
    MediaType mp3;
    for (const MediaType& type : CapabilitiesOf("MPEG Layer-3"))
        if (type.WaveFormat()->nSamplesPerSec == 32000 && type.WaveFormat()->nChannels == 1) mp3 = type;
    ASSERT_TRUE(mp3.WaveFormat());
    CodecsChain chain(ChainKind::Vob, dir.File("a.vob"), dir.File("out.wav"), "MPEG Layer-3", mp3.WaveFormat());
    ASSERT_EQ(chain.built, S_OK);
    EXPECT_EQ(Connection(chain.slots[2], PINDIR_OUTPUT), (Format{32000, 1, 16}));
    EXPECT_EQ(Connection(chain.encoder, PINDIR_INPUT), (Format{32000, 1, 16}));
    ASSERT_EQ(chain.Convert(), S_OK);
    EXPECT_EQ(ProbedInt(dir.File("out.wav"), "sample_rate"), 32000);
    EXPECT_NEAR(ZeroCrossings(DecodeFloat(dir.File("out.wav"), 44100, 2), 44100, 0.25, 0.75), 440, 10);
}

}  // namespace
}  // namespace tessival::media::test
