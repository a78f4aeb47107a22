#include "platform/media/ffmpeg/TwoThreadFlacEncoder.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cmath>
#include <string>
#include <vector>

namespace tessival::media {
namespace {

AvCodecContextPtr OpenFlac(int rate, int channels, int bits, int level) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_FLAC);
    AvCodecContextPtr context(avcodec_alloc_context3(codec));
    context->sample_rate = rate;
    av_channel_layout_default(&context->ch_layout, channels);
    context->sample_fmt = bits > 16 ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16;
    context->bits_per_raw_sample = bits;
    context->compression_level = level;
    context->time_base = AVRational{1, rate};
    if (avcodec_open2(context.get(), codec, nullptr) < 0) context.reset();
    return context;
}

// Frames of a tone under noise, the encoder's frame size each but the last.
std::vector<AvFramePtr> Frames(const AVCodecContext& context, int samples) {
    std::vector<AvFramePtr> frames;
    std::uint32_t noise = 12345;
    for (int at = 0; at < samples; at += context.frame_size) {
        AvFramePtr frame(av_frame_alloc());
        frame->nb_samples = std::min(context.frame_size, samples - at);
        frame->format = context.sample_fmt;
        frame->sample_rate = context.sample_rate;
        frame->pts = at;
        av_channel_layout_copy(&frame->ch_layout, &context.ch_layout);
        EXPECT_GE(av_frame_get_buffer(frame.get(), 0), 0);
        const int channels = context.ch_layout.nb_channels;
        for (int i = 0; i < frame->nb_samples * channels; ++i) {
            noise = noise * 1664525u + 1013904223u;
            const double tone = 0.5 * std::sin((at + i / channels) * 0.05);
            const double value = tone + 0.01 * (int(noise >> 16) - 32768) / 32768.0;
            if (context.sample_fmt == AV_SAMPLE_FMT_S16)
                reinterpret_cast<std::int16_t*>(frame->data[0])[i] = static_cast<std::int16_t>(value * 32000);
            else
                reinterpret_cast<std::int32_t*>(frame->data[0])[i] = static_cast<std::int32_t>(value * 8000000) * 256;
        }
        frames.push_back(std::move(frame));
    }
    return frames;
}

struct Packet {
    std::vector<std::uint8_t> data;
    std::int64_t pts = 0;
    std::int64_t duration = 0;
    std::vector<std::uint8_t> finalHeader;
    bool operator==(const Packet&) const = default;
};

Packet Taken(AVPacket& packet) {
    Packet taken{{packet.data, packet.data + packet.size}, packet.pts, packet.duration, {}};
    std::size_t size = 0;
    if (const std::uint8_t* header = av_packet_get_side_data(&packet, AV_PKT_DATA_NEW_EXTRADATA, &size))
        taken.finalHeader.assign(header, header + size);
    av_packet_unref(&packet);
    return taken;
}

template <class Send, class Receive>
std::vector<Packet> Encode(const std::vector<AvFramePtr>& frames, Send send, Receive receive) {
    std::vector<Packet> packets;
    AvPacketPtr packet(av_packet_alloc());
    const auto drain = [&] {
        int ret;
        while ((ret = receive(packet.get())) >= 0) packets.push_back(Taken(*packet));
        EXPECT_TRUE(ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) << ret;
    };
    for (const AvFramePtr& frame : frames) {
        EXPECT_GE(send(frame.get()), 0);
        drain();
    }
    EXPECT_GE(send(nullptr), 0);
    drain();
    return packets;
}

// Renumbered frames, sizes, length and signature: byte for byte what one encoder makes, across
// the frame numbers whose code grows a byte (128, 2048), a short last frame, 24 bits and a
// stream shorter than one frame or empty.
TEST(TwoThreadFlacEncoder, GivesTheBytesOneEncoderGives) {
    struct Case {
        int rate, channels, bits, level, samples;
    };
    const Case cases[] = {
        {44100, 2, 16, 5, 4608 * 150 + 1000},
        {8000, 1, 16, 0, 192 * 2100 + 7},
        {96000, 2, 24, 8, 8192 * 20 + 5},
        {44100, 2, 16, 5, 300},
        {44100, 2, 16, 5, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.bits) + " bits, level " +
                     std::to_string(c.level) + ", " + std::to_string(c.samples) + " samples");
        AvCodecContextPtr single = OpenFlac(c.rate, c.channels, c.bits, c.level);
        ASSERT_TRUE(single);
        const std::vector<AvFramePtr> frames = Frames(*single, c.samples);
        const auto expected = Encode(
            frames, [&](const AVFrame* f) { return avcodec_send_frame(single.get(), f); },
            [&](AVPacket* p) { return avcodec_receive_packet(single.get(), p); });
        const AvCodecContextPtr lead = OpenFlac(c.rate, c.channels, c.bits, c.level);
        auto twoThreads =
            TwoThreadFlacEncoder::Create([c] { return OpenFlac(c.rate, c.channels, c.bits, c.level); }, *lead);
        ASSERT_TRUE(twoThreads);
        const auto got = Encode(
            frames, [&](const AVFrame* f) { return twoThreads->Send(f); },
            [&](AVPacket* p) { return twoThreads->Receive(p); });
        ASSERT_EQ(got.size(), expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) ASSERT_TRUE(got[i] == expected[i]) << "packet " << i;
        ASSERT_FALSE(got.back().finalHeader.empty());
    }
}

}  // namespace
}  // namespace tessival::media
