#include "platform/media/filters/encoders/PcmEncoder.h"

#include <gtest/gtest.h>

#include "platform/media/FakeFilters.h"
#include "platform/media/FilterGraph.h"
#include "platform/media/QueryInterface.h"

namespace tessival::media {
namespace {

struct EncoderFixture {
    std::shared_ptr<FilterGraph> graph = CreateFilterGraph();
    std::shared_ptr<PcmEncoder> encoder = std::make_shared<PcmEncoder>();
    std::shared_ptr<IAMStreamConfig> config;

    EncoderFixture() {
        graph->AddFilter(encoder, "PCM");
        config = QueryInterface<IAMStreamConfig>(PinsOf(*encoder, PINDIR_OUTPUT).at(0));
    }
    HRESULT Feed(const WAVEFORMATEX& format) {
        auto source = std::make_shared<test::FakeSource>(1, std::chrono::milliseconds(0), MediaType::Audio(format));
        graph->AddFilter(source, "Source");
        return graph->ConnectDirect(PinsOf(*source, PINDIR_OUTPUT).at(0), PinsOf(*encoder, PINDIR_INPUT).at(0), nullptr);
    }
};

TEST(PcmEncoderTest, StreamConfigListsEveryFormatAndRefusesOthers) {
    EncoderFixture f;
    ASSERT_NE(f.config, nullptr);
    int count = 0, size = 0;
    ASSERT_EQ(f.config->GetNumberOfCapabilities(count, size), S_OK);
    EXPECT_EQ(count, 75);
    EXPECT_EQ(size, static_cast<int>(sizeof(AUDIO_STREAM_CONFIG_CAPS)));
    MediaType type;
    AUDIO_STREAM_CONFIG_CAPS caps;
    ASSERT_EQ(f.config->GetStreamCaps(0, type, &caps), S_OK);
    EXPECT_EQ(type.WaveFormat()->nSamplesPerSec, 8000u);
    EXPECT_EQ(caps.MaximumSampleFrequency, 8000u);
    ASSERT_EQ(f.config->GetStreamCaps(count - 10, type, nullptr), S_OK);
    EXPECT_EQ(type.WaveFormat()->nSamplesPerSec, 96000u);
    EXPECT_EQ(type.WaveFormat()->wBitsPerSample, 24);
    // Then 32-bit float at the studio rates.
    ASSERT_EQ(f.config->GetStreamCaps(count - 2, type, nullptr), S_OK);
    EXPECT_EQ(type.WaveFormat()->wFormatTag, WAVE_FORMAT_IEEE_FLOAT);
    EXPECT_EQ(type.WaveFormat()->nSamplesPerSec, 96000u);
    EXPECT_EQ(type.WaveFormat()->wBitsPerSample, 32);
    // Last, the source's own rate, depth and channels.
    ASSERT_EQ(f.config->GetStreamCaps(count - 1, type, nullptr), S_OK);
    EXPECT_EQ(type.WaveFormat()->nSamplesPerSec, 0u);
    EXPECT_EQ(type.WaveFormat()->nChannels, 0xFFFF);
    EXPECT_EQ(f.config->GetStreamCaps(count, type, nullptr), S_FALSE);
    EXPECT_EQ(f.config->GetStreamCaps(-1, type, nullptr), E_INVALIDARG);

    EXPECT_EQ(f.config->GetFormat(type), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(f.config->SetFormat(MediaType::Audio(MakePcmFormat(44100, 3, 16))), VFW_E_INVALIDMEDIATYPE);
    WAVEFORMATEX odd = MakePcmFormat(44100, 2, 16);
    odd.nAvgBytesPerSec += 1;
    EXPECT_EQ(f.config->SetFormat(MediaType::Audio(odd)), VFW_E_INVALIDMEDIATYPE);
    ASSERT_EQ(f.config->SetFormat(MediaType::Audio(MakePcmFormat(11025, 1, 8))), S_OK);
    ASSERT_EQ(f.config->GetFormat(type), S_OK);
    EXPECT_EQ(type.WaveFormat()->nSamplesPerSec, 11025u);
}

TEST(PcmEncoderTest, DefaultFormatFollowsTheInputWhenItCan) {
    {
        EncoderFixture f;
        ASSERT_EQ(f.Feed(MakePcmFormat(32000, 1, 24)), S_OK);
        MediaType type;
        ASSERT_EQ(f.config->GetFormat(type), S_OK);
        EXPECT_EQ(type.WaveFormat()->nSamplesPerSec, 32000u);
        EXPECT_EQ(type.WaveFormat()->wBitsPerSample, 24);
    }
    {
        EncoderFixture f;
        ASSERT_EQ(f.Feed(MakePcmFormat(44100, 6, 32)), S_OK);
        MediaType type;
        ASSERT_EQ(f.config->GetFormat(type), S_OK);
        EXPECT_EQ(type.WaveFormat()->nChannels, 2);
        EXPECT_EQ(type.WaveFormat()->wBitsPerSample, 16);
    }
    {
        EncoderFixture f;
        WAVEFORMATEX adpcm = MakePcmFormat(22050, 1, 4);
        adpcm.wFormatTag = WAVE_FORMAT_IMA_ADPCM;
        EXPECT_TRUE(FAILED(f.Feed(adpcm)));
    }
}

}  // namespace
}  // namespace tessival::media
