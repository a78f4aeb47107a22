#include "platform/media/filters/encoders/VorbisStream.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace tessival::media {
namespace {

struct Encoded {
    std::vector<std::uint8_t> data;
    std::int64_t first;
    std::int64_t frames;
    bool operator==(const Encoded&) const = default;
};

// A tone with a little noise, the same for every way it is cut into buffers.
std::vector<float> Signal(std::int64_t frames, int channels) {
    std::vector<float> samples(static_cast<std::size_t>(frames * channels));
    for (std::int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            const auto noise = static_cast<float>((static_cast<std::uint32_t>(i * 2654435761u) >> 16) % 2000) / 1e5f;
            samples[static_cast<std::size_t>(i * channels + c)] = 0.4f * std::sin(0.03f * (c + 1) * i) + noise;
        }
    return samples;
}

struct ContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

void Receive(AVCodecContext& context, std::vector<Encoded>& out) {
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    while (avcodec_receive_packet(&context, packet.get()) == 0) {
        out.push_back({{packet->data, packet->data + packet->size}, packet->pts, packet->duration});
        av_packet_unref(packet.get());
    }
}

// FFmpeg's libvorbis encoder at that bit rate, sent the signal in its own frames.
std::vector<Encoded> ByFfmpeg(const std::vector<float>& samples, int channels, int rate, int kbps) {
    const AVCodec* codec = avcodec_find_encoder_by_name("libvorbis");
    std::unique_ptr<AVCodecContext, ContextFree> context(avcodec_alloc_context3(codec));
    context->sample_rate = rate;
    context->time_base = AVRational{1, rate};
    av_channel_layout_default(&context->ch_layout, channels);
    context->sample_fmt = AV_SAMPLE_FMT_FLTP;
    context->bit_rate = kbps * 1000;
    std::vector<Encoded> out;
    if (avcodec_open2(context.get(), codec, nullptr) < 0) return out;
    const std::int64_t frames = static_cast<std::int64_t>(samples.size()) / channels;
    for (std::int64_t at = 0; at < frames; at += context->frame_size) {
        std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
        frame->nb_samples = static_cast<int>(std::min<std::int64_t>(context->frame_size, frames - at));
        frame->format = context->sample_fmt;
        frame->pts = at;
        av_channel_layout_copy(&frame->ch_layout, &context->ch_layout);
        av_frame_get_buffer(frame.get(), 0);
        for (int c = 0; c < channels; ++c) {
            auto* plane = reinterpret_cast<float*>(frame->data[c]);
            for (int i = 0; i < frame->nb_samples; ++i) plane[i] = samples[static_cast<std::size_t>((at + i) * channels + c)];
        }
        avcodec_send_frame(context.get(), frame.get());
        Receive(*context, out);
    }
    avcodec_send_frame(context.get(), nullptr);
    Receive(*context, out);
    return out;
}

std::vector<Encoded> ByStream(const std::vector<float>& samples, int channels, int rate, int kbps, int buffer) {
    std::vector<Encoded> out;
    const auto stream = VorbisStream::Open(channels, rate, kbps * 1000L);
    if (!stream) return out;
    const VorbisStream::PacketSink sink = [&out](const VorbisStream::Packet& packet) {
        out.push_back({{packet.data, packet.data + packet.size}, packet.first, packet.frames});
        return S_OK;
    };
    const std::int64_t frames = static_cast<std::int64_t>(samples.size()) / channels;
    for (std::int64_t at = 0; at < frames; at += buffer) {
        const std::int64_t count = std::min<std::int64_t>(buffer, frames - at);
        EXPECT_EQ(stream->Write(samples.data() + at * channels, count, sink), S_OK);
    }
    EXPECT_EQ(stream->Finish(sink), S_OK);
    return out;
}

// Whatever buffers the samples come in, the packets are FFmpeg's own, bytes and times: the
// first starts 128 samples before zero, and together they decode to exactly the samples written.
TEST(VorbisStream, PacketsAreFfmpegsWhateverTheBuffersAndEndWithTheSamples) {
    const struct {
        int channels, rate, kbps;
        std::int64_t frames;
        int buffer;
    } cases[] = {{1, 48000, 128, 9, 9},          {2, 44100, 128, 1000, 100},   {2, 44100, 192, 44100, 4096},
                 {1, 48000, 64, 100000, 1152},   {2, 48000, 320, 30000, 30000}, {2, 44100, 96, 5000, 37}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + " ch, " + std::to_string(c.rate) + " Hz, " + std::to_string(c.kbps) +
                     " kbps, " + std::to_string(c.frames) + " frames in buffers of " + std::to_string(c.buffer));
        const std::vector<float> samples = Signal(c.frames, c.channels);
        const std::vector<Encoded> ours = ByStream(samples, c.channels, c.rate, c.kbps, c.buffer);
        ASSERT_FALSE(ours.empty());
        EXPECT_EQ(ours.front().first, -128);
        std::int64_t total = 0;
        for (const Encoded& packet : ours) total += packet.frames;
        EXPECT_EQ(ours.front().first + total, c.frames);
        EXPECT_TRUE(ours == ByFfmpeg(samples, c.channels, c.rate, c.kbps));
    }
}

TEST(VorbisStream, NoSamplesNoPackets) {
    EXPECT_TRUE(ByStream({}, 2, 44100, 128, 1024).empty());
}

}  // namespace
}  // namespace tessival::media
