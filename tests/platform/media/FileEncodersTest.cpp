#include "platform/media/filters/encoders/FileEncoders.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <memory>
#include <string>
#include <vector>

#include "platform/media/AudioEncoderFilter.h"
#include "platform/media/QueryInterface.h"

namespace tessival::media {
namespace {

struct ContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};

// The three packets of headers in Xiph lacing: identification, comments, setup.
std::vector<std::vector<std::uint8_t>> XiphPackets(const std::uint8_t* data, int size) {
    std::vector<std::size_t> sizes(2, 0);
    int at = 1;
    for (std::size_t& packet : sizes)
        while (at < size) {
            packet += data[at];
            if (data[at++] < 255) break;
        }
    std::vector<std::vector<std::uint8_t>> packets;
    for (const std::size_t length : {sizes[0], sizes[1], size - at - sizes[0] - sizes[1]}) {
        packets.emplace_back(data + at, data + at + length);
        at += static_cast<int>(length);
    }
    return packets;
}

// LAME opened on its own for one choice: bit rate, or VBR level V as quality V (remainder 1 + V by 125).
std::unique_ptr<AVCodecContext, ContextFree> LameFor(const WAVEFORMATEX& choice) {
    const AVCodec* codec = avcodec_find_encoder_by_name("libmp3lame");
    std::unique_ptr<AVCodecContext, ContextFree> context(avcodec_alloc_context3(codec));
    context->sample_rate = static_cast<int>(choice.nSamplesPerSec);
    av_channel_layout_default(&context->ch_layout, choice.nChannels);
    context->sample_fmt = codec->sample_fmts[0];
    const std::uint32_t mark = choice.nAvgBytesPerSec % 125;
    if (mark == 0) {
        context->bit_rate = std::int64_t{choice.nAvgBytesPerSec} * 8;
    } else {
        context->flags |= AV_CODEC_FLAG_QSCALE;
        context->global_quality = static_cast<int>(mark - 1) * FF_QP2LAMBDA;
    }
    if (avcodec_open2(context.get(), codec, nullptr) < 0) context.reset();
    return context;
}

TEST(FileEncoders, EveryLameMp3ChoiceCarriesWhatItsOwnEncoderWouldTellTheMuxer) {
    const auto encoder = QueryInterface<AudioEncoderFilter>(FileEncoders::LameMp3Entry().factory());
    ASSERT_TRUE(encoder);
    const std::vector<MediaType>& choices = encoder->Capabilities();
    // 32, 44.1 and 48 kHz, mono and stereo, 14 constant bit rates and 10 VBR levels each.
    ASSERT_EQ(choices.size(), 144u);
    for (const MediaType& choice : choices) {
        const WAVEFORMATEX& wave = *choice.WaveFormat();
        SCOPED_TRACE(std::to_string(wave.nSamplesPerSec) + " Hz, " + std::to_string(wave.nChannels) + " ch, " +
                     std::to_string(wave.nAvgBytesPerSec) + " bytes/s");
        const auto own = LameFor(wave);
        ASSERT_TRUE(own);
        ASSERT_TRUE(choice.codecParameters);
        const AVCodecParameters& told = *choice.codecParameters;
        EXPECT_EQ(told.codec_id, AV_CODEC_ID_MP3);
        EXPECT_EQ(told.bit_rate, own->bit_rate);
        EXPECT_EQ(told.sample_rate, own->sample_rate);
        EXPECT_EQ(told.ch_layout.nb_channels, own->ch_layout.nb_channels);
        EXPECT_EQ(told.frame_size, own->frame_size);
        EXPECT_EQ(told.initial_padding, own->initial_padding);
        EXPECT_EQ(told.extradata_size, own->extradata_size);
    }
}

// FLAC, Opus and AAC list their choices without opening an encoder for each; the type a
// conversion uses must still carry that choice's own encoder's header and bit rate (a FLAC
// header names the level's block size). FLAC's choices that follow the source are left out.
TEST(FileEncoders, EveryListedChoiceAConversionUsesCarriesItsOwnEncodersHeader) {
    struct Case {
        FilterEntry entry;
        const char* codec;
        std::size_t listed;
    };
    const Case cases[] = {
        {FileEncoders::FlacEntry(), "flac", 135},
        {FileEncoders::OpusEntry(), "libopus", 18},
        {FileEncoders::AacEntry(), "aac", 28},
    };
    const MediaType cd = MediaType::Audio(MakePcmFormat(44100, 2, 16));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codec);
        const auto encoder = QueryInterface<AudioEncoderFilter>(c.entry.factory());
        ASSERT_TRUE(encoder);
        EXPECT_EQ(encoder->Capabilities().size(), c.listed);
        const AVCodec* codec = avcodec_find_encoder_by_name(c.codec);
        ASSERT_TRUE(codec);
        for (const MediaType& choice : encoder->Capabilities()) {
            const WAVEFORMATEX& wave = *choice.WaveFormat();
            if (wave.nSamplesPerSec == 0) continue;
            SCOPED_TRACE(std::to_string(wave.nSamplesPerSec) + " Hz, " + std::to_string(wave.nChannels) + " ch, " +
                         std::to_string(wave.wBitsPerSample) + " bits, " + std::to_string(wave.nAvgBytesPerSec));
            std::unique_ptr<AVCodecContext, ContextFree> own(avcodec_alloc_context3(codec));
            own->sample_rate = static_cast<int>(wave.nSamplesPerSec);
            av_channel_layout_default(&own->ch_layout, wave.nChannels);
            own->time_base = AVRational{1, own->sample_rate};
            if (codec->id == AV_CODEC_ID_FLAC) {  // the level in place of the kbps
                own->compression_level = static_cast<int>(wave.nAvgBytesPerSec / 125);
                own->sample_fmt = wave.wBitsPerSample > 16 ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16;
                own->bits_per_raw_sample = wave.wBitsPerSample;
                own->bit_rate = 0;
            } else {
                own->sample_fmt = codec->sample_fmts[0];
                own->bit_rate = std::int64_t{wave.nAvgBytesPerSec} * 8;
            }
            ASSERT_GE(avcodec_open2(own.get(), codec, nullptr), 0);
            const MediaType used = encoder->ForInput(choice, cd);
            ASSERT_TRUE(used.codecParameters);
            const AVCodecParameters& told = *used.codecParameters;
            EXPECT_EQ(told.bit_rate, own->bit_rate);
            EXPECT_EQ(told.frame_size, own->frame_size);
            EXPECT_EQ(std::vector<std::uint8_t>(told.extradata, told.extradata + told.extradata_size),
                      std::vector<std::uint8_t>(own->extradata, own->extradata + own->extradata_size));
        }
    }
}

// The Vorbis list offers what libvorbis opens with (mono stops at 224 kbps), and the choice a
// conversion uses carries the headers FFmpeg's libvorbis encoder makes for that very choice
// (the comments aside: the muxer writes the file's own).
TEST(FileEncoders, EveryVorbisChoiceOpensAndCarriesItsOwnHeaders) {
    const auto encoder = QueryInterface<AudioEncoderFilter>(FileEncoders::VorbisEntry().factory());
    ASSERT_TRUE(encoder);
    std::vector<std::string> listed;
    for (const MediaType& choice : encoder->Capabilities()) {
        const WAVEFORMATEX& wave = *choice.WaveFormat();
        listed.push_back(std::to_string(wave.nSamplesPerSec) + "/" + std::to_string(wave.nChannels) + "/" +
                         std::to_string(wave.nAvgBytesPerSec / 125));
    }
    std::vector<std::string> expected;
    for (const char* rate : {"44100", "48000"}) {
        for (const char* kbps : {"64", "80", "96", "112", "128", "160", "192", "224"})
            expected.push_back(std::string(rate) + "/1/" + kbps);
        for (const char* kbps : {"64", "80", "96", "112", "128", "160", "192", "224", "256", "320"})
            expected.push_back(std::string(rate) + "/2/" + kbps);
    }
    EXPECT_EQ(listed, expected);

    const AVCodec* codec = avcodec_find_encoder_by_name("libvorbis");
    ASSERT_TRUE(codec);
    for (const MediaType& choice : encoder->Capabilities()) {
        const WAVEFORMATEX& wave = *choice.WaveFormat();
        SCOPED_TRACE(std::to_string(wave.nSamplesPerSec) + " Hz, " + std::to_string(wave.nChannels) + " ch, " +
                     std::to_string(wave.nAvgBytesPerSec) + " bytes/s");
        std::unique_ptr<AVCodecContext, ContextFree> own(avcodec_alloc_context3(codec));
        own->sample_rate = static_cast<int>(wave.nSamplesPerSec);
        av_channel_layout_default(&own->ch_layout, wave.nChannels);
        own->sample_fmt = AV_SAMPLE_FMT_FLTP;
        own->bit_rate = std::int64_t{wave.nAvgBytesPerSec} * 8;
        ASSERT_GE(avcodec_open2(own.get(), codec, nullptr), 0);
        const MediaType used = encoder->ForInput(choice, MediaType::Audio(MakePcmFormat(44100, 2, 16)));
        ASSERT_TRUE(used.codecParameters);
        const AVCodecParameters& told = *used.codecParameters;
        EXPECT_EQ(told.bit_rate, own->bit_rate);
        const auto ours = XiphPackets(told.extradata, told.extradata_size);
        const auto theirs = XiphPackets(own->extradata, own->extradata_size);
        EXPECT_TRUE(ours[0] == theirs[0]);
        EXPECT_TRUE(ours[2] == theirs[2]);
    }
}

}  // namespace
}  // namespace tessival::media
