// End-to-end conversions through the WAVE path, checked with ffprobe and by decoding again.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/media/MediaFixtures.h"
#include "platform/media/WaveGraph.h"
#include "support/TempDir.h"

namespace tessival::media {
namespace {

using test::WaveGraph;
using tessival::test::ReadBytes;
using tessival::test::TempDir;

std::vector<MediaType> PcmCapabilities() {
    auto encoder = SystemRegistry()->Entries(CLSID_AudioCompressorCategory).at(0).factory();
    auto config = QueryInterface<IAMStreamConfig>(test::PinOf(encoder, PINDIR_OUTPUT));
    int count = 0, size = 0;
    config->GetNumberOfCapabilities(count, size);
    std::vector<MediaType> all(count);
    for (int i = 0; i < count; ++i) config->GetStreamCaps(i, all[i], nullptr);
    return all;
}

// The fmt chunk's body as the file holds it.
std::string FmtChunk(const std::string& file) {
    const auto at = file.find("fmt ");
    if (at == std::string::npos || at + 8 > file.size()) return {};
    std::uint32_t size;
    std::memcpy(&size, file.data() + at + 4, 4);
    return file.substr(at + 8, size);
}

std::string CodecFor(const WAVEFORMATEX& f) {
    if (f.wFormatTag == WAVE_FORMAT_IEEE_FLOAT) return "pcm_f32le";
    return f.wBitsPerSample == 8 ? "pcm_u8" : f.wBitsPerSample == 16 ? "pcm_s16le" : "pcm_s24le";
}

TEST(WavePathTest, EveryPcmCapabilityIsWrittenExactlyAsListed) {
    TempDir dir;
    const std::string source = dir.File("source.wav");
    ASSERT_TRUE(test::MakeTone(source, 44100, 2, "pcm_s16le", 0.5));
    const auto capabilities = PcmCapabilities();
    ASSERT_EQ(capabilities.size(), 75u);
    for (const MediaType& capability : capabilities) {
        const WAVEFORMATEX& f = *capability.WaveFormat();
        if (f.nSamplesPerSec == 0) continue;  // the source's own format: its file has the source's
        SCOPED_TRACE(std::to_string(f.nSamplesPerSec) + " Hz " + std::to_string(f.nChannels) + " ch " +
                     std::to_string(f.wBitsPerSample) + " bit");
        const std::string out = dir.File("out.wav");
        WaveGraph g(source, out);
        ASSERT_EQ(g.Convert(&f), S_OK);
        const std::string bytes = ReadBytes(out);
        EXPECT_EQ(FmtChunk(bytes), std::string(reinterpret_cast<const char*>(capability.format.data()), 18));
        auto probe = test::Probe(out);
        EXPECT_EQ(probe["codec_name"], CodecFor(f));
        EXPECT_EQ(probe["sample_rate"], std::to_string(f.nSamplesPerSec));
        EXPECT_EQ(probe["channels"], std::to_string(f.nChannels));
        const long frames = std::stol(probe["duration_ts"]);
        EXPECT_NEAR(frames, f.nSamplesPerSec / 2.0, 2.0);
    }
}

struct SourceCase {
    const char* name;
    const char* codec;  // for ffmpeg, or "sox:<encoding>" for sox
    int rate;
    int channels;
    double tolerance;  // relative error allowed against ffmpeg's own conversion
};

bool MakeSource(const SourceCase& c, const std::string& path) {
    const std::string codec = c.codec;
    if (codec.rfind("sox:", 0) == 0) {
        const std::string cmd = "sox -n -r " + std::to_string(c.rate) + " -c " + std::to_string(c.channels) + " " +
                                codec.substr(4) + " " + test::ShellQuote(path) + " synth 0.7 sine 440 sine 1250 2>/dev/null";
        return test::RunProcess(cmd).exitCode == 0;
    }
    return test::MakeTone(path, c.rate, c.channels, codec, 0.7, codec == "libgsm_ms" ? "-ar 8000" : "");
}

class WaveSourceTest : public ::testing::TestWithParam<SourceCase> {};

TEST_P(WaveSourceTest, ConvertsToPcmMatchingFfmpegsOwnDecoding) {
    const SourceCase& c = GetParam();
    TempDir dir;
    const std::string source = dir.File("source.wav");
    ASSERT_TRUE(MakeSource(c, source)) << c.name;
    for (const WAVEFORMATEX& format : {MakePcmFormat(22050, 1, 16), MakePcmFormat(48000, 2, 24), MakePcmFormat(8000, 2, 8)}) {
        SCOPED_TRACE(std::to_string(format.nSamplesPerSec) + "/" + std::to_string(format.wBitsPerSample));
        const std::string out = dir.File("out.wav");
        WaveGraph g(source, out);
        ASSERT_EQ(g.Convert(&format), S_OK);
        auto probe = test::Probe(out);
        ASSERT_EQ(probe.count("error"), 0u) << probe["error"];
        EXPECT_EQ(probe["sample_rate"], std::to_string(format.nSamplesPerSec));
        EXPECT_EQ(probe["channels"], std::to_string(format.nChannels));
        const std::string reference = dir.File("reference.wav");
        ASSERT_TRUE(test::FfmpegConvert(source, reference, format.nSamplesPerSec, format.nChannels, format.wBitsPerSample));
        const auto expected = test::DecodeFloat(reference, format.nSamplesPerSec, format.nChannels);
        const auto actual = test::DecodeFloat(out, format.nSamplesPerSec, format.nChannels);
        ASSERT_FALSE(expected.empty());
        EXPECT_NEAR(static_cast<double>(actual.size()), static_cast<double>(expected.size()), 4.0 * format.nChannels);
        // Paths through other intermediate widths round differently by up to an 8-bit step, and
        // ours dithers where ffmpeg's plain conversion does not.
        const double rounding = format.wBitsPerSample == 8 ? 0.03 : 0.0;
        EXPECT_LT(test::RelativeError(expected, actual), c.tolerance + rounding);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WaveSourceTest,
    ::testing::Values(SourceCase{"u8_8k_mono", "pcm_u8", 8000, 1, 0.01},
                      SourceCase{"s16_44k_stereo", "pcm_s16le", 44100, 2, 0.01},
                      SourceCase{"s16_11k_mono", "pcm_s16le", 11025, 1, 0.01},
                      SourceCase{"s24_96k_stereo", "pcm_s24le", 96000, 2, 0.01},
                      SourceCase{"s24_48k_mono", "pcm_s24le", 48000, 1, 0.01},
                      SourceCase{"s32_32k_stereo", "pcm_s32le", 32000, 2, 0.01},
                      SourceCase{"float_44k_stereo", "pcm_f32le", 44100, 2, 0.01},
                      SourceCase{"ima_adpcm", "adpcm_ima_wav", 22050, 2, 0.01},
                      SourceCase{"ms_adpcm", "adpcm_ms", 22050, 1, 0.01},
                      SourceCase{"gsm610", "libgsm_ms", 8000, 1, 0.01},
                      SourceCase{"alaw", "pcm_alaw", 8000, 1, 0.01},
                      SourceCase{"mulaw", "pcm_mulaw", 8000, 2, 0.01},
                      SourceCase{"sox_s16_16k", "sox:-b 16", 16000, 1, 0.01},
                      SourceCase{"sox_ima_adpcm", "sox:-e ima-adpcm", 8000, 1, 0.01},
                      SourceCase{"sox_gsm", "sox:-e gsm-full-rate", 8000, 1, 0.01}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessival::media
