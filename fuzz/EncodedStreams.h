#pragma once

// Real encoded audio for the muxer target: one second of a tone per profile, encoded once per
// process by FFmpeg's encoders (and our own Vorbis one), kept as packets with the times, trims
// and final header the encoder filters hand their muxer, and the type they describe it with.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
}

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/MediaType.h"
#include "platform/media/ffmpeg/AvPtr.h"
#include "platform/media/ffmpeg/SampleConverter.h"
#include "platform/media/filters/encoders/VorbisStream.h"

namespace tessival::fuzz {

struct EncodedPacket {
    std::vector<std::uint8_t> bytes;
    std::int64_t first = 0;  // in samples; before zero for the priming
    std::int64_t frames = 0;
    std::uint32_t trimStart = 0;
    std::uint32_t trimEnd = 0;
    std::vector<std::uint8_t> finalHeader;
};

struct EncodedStream {
    media::MediaType type;
    std::vector<EncodedPacket> packets;
    int rate = 0;
    std::int64_t mostFrames = 0;  // the longest packet: what one packet may decode to
};

namespace detail {

constexpr double kToneSeconds = 1.0;

double Tone(std::int64_t frame, int channel, int rate) {
    return 0.5 * std::sin(2 * M_PI * (440.0 + 110 * channel) * static_cast<double>(frame) / rate);
}

// One frame of the tone in the encoder's first sample format.
void FillFrame(AVFrame& frame, std::int64_t from) {
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const int channels = frame.ch_layout.nb_channels;
    const bool planar = av_sample_fmt_is_planar(format);
    for (int i = 0; i < frame.nb_samples; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double value = Tone(from + i, c, frame.sample_rate);
            const int plane = planar ? c : 0;
            const int index = planar ? i : i * channels + c;
            switch (av_get_packed_sample_fmt(format)) {
            case AV_SAMPLE_FMT_S16: reinterpret_cast<std::int16_t*>(frame.extended_data[plane])[index] = static_cast<std::int16_t>(value * 32767); break;
            case AV_SAMPLE_FMT_S32: reinterpret_cast<std::int32_t*>(frame.extended_data[plane])[index] = static_cast<std::int32_t>(value * 2147483647.0); break;
            case AV_SAMPLE_FMT_FLT: reinterpret_cast<float*>(frame.extended_data[plane])[index] = static_cast<float>(value); break;
            default: std::abort();
            }
        }
    }
}

inline std::shared_ptr<const AVCodecParameters> Parameters(const AVCodecContext& context) {
    std::shared_ptr<AVCodecParameters> parameters(avcodec_parameters_alloc(), [](AVCodecParameters* p) { avcodec_parameters_free(&p); });
    if (!parameters || avcodec_parameters_from_context(parameters.get(), &context) < 0) std::abort();
    return parameters;
}

inline EncodedPacket Take(const AVPacket& packet) {
    EncodedPacket out;
    out.bytes.assign(packet.data, packet.data + packet.size);
    out.first = packet.pts;
    out.frames = packet.duration;
    std::size_t size = 0;
    if (const std::uint8_t* skip = av_packet_get_side_data(&packet, AV_PKT_DATA_SKIP_SAMPLES, &size); skip && size >= 8) {
        std::memcpy(&out.trimStart, skip, 4);
        std::memcpy(&out.trimEnd, skip + 4, 4);
    }
    if (const std::uint8_t* header = av_packet_get_side_data(&packet, AV_PKT_DATA_NEW_EXTRADATA, &size))
        out.finalHeader.assign(header, header + size);
    return out;
}

}  // namespace detail

// A tone through an FFmpeg encoder; bits only matters to FLAC (16 or 24).
inline EncodedStream EncodeWithFfmpeg(const char* encoder, int rate, int channels, int bits = 16) {
    const AVCodec* codec = avcodec_find_encoder_by_name(encoder);
    if (!codec) std::abort();
    media::AvCodecContextPtr context(avcodec_alloc_context3(codec));
    context->sample_rate = rate;
    context->ch_layout = media::StandardLayout(channels);
    context->time_base = AVRational{1, rate};
    context->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    if (bits > 16 && codec->id == AV_CODEC_ID_FLAC) context->sample_fmt = AV_SAMPLE_FMT_S32;
    context->bits_per_raw_sample = bits;
    if (avcodec_open2(context.get(), codec, nullptr) < 0) std::abort();
    EncodedStream stream;
    stream.rate = rate;
    stream.type = media::MediaType::Audio(media::MakePcmFormat(static_cast<std::uint32_t>(rate), static_cast<std::uint16_t>(channels), 16));
    stream.type.codecParameters = detail::Parameters(*context);
    media::AvFramePtr frame(av_frame_alloc());
    media::AvPacketPtr packet(av_packet_alloc());
    const auto drain = [&] {
        while (avcodec_receive_packet(context.get(), packet.get()) >= 0) {
            stream.packets.push_back(detail::Take(*packet));
            stream.mostFrames = std::max<std::int64_t>(stream.mostFrames, packet->duration);
            av_packet_unref(packet.get());
        }
    };
    const auto total = static_cast<std::int64_t>(detail::kToneSeconds * rate);
    const int step = context->frame_size > 0 ? context->frame_size : 1024;
    for (std::int64_t done = 0; done < total; done += step) {
        av_frame_unref(frame.get());
        frame->nb_samples = static_cast<int>(std::min<std::int64_t>(step, total - done));
        frame->format = context->sample_fmt;
        frame->sample_rate = rate;
        av_channel_layout_copy(&frame->ch_layout, &context->ch_layout);
        frame->pts = done;
        if (av_frame_get_buffer(frame.get(), 0) < 0) std::abort();
        detail::FillFrame(*frame, done);
        if (avcodec_send_frame(context.get(), frame.get()) < 0) std::abort();
        drain();
    }
    avcodec_send_frame(context.get(), nullptr);
    drain();
    return stream;
}

// A tone through our own Vorbis encoder, described as its filter describes it to the muxer.
inline EncodedStream EncodeWithVorbisStream(int rate, int channels) {
    const auto vorbis = media::VorbisStream::Open(channels, rate, 64000);
    if (!vorbis) std::abort();
    EncodedStream stream;
    stream.rate = rate;
    const auto sink = [&stream](const media::VorbisStream::Packet& packet) {
        stream.packets.push_back({{packet.data, packet.data + packet.size}, packet.first, packet.frames, 0, 0, {}});
        stream.mostFrames = std::max(stream.mostFrames, packet.frames);
        return media::S_OK;
    };
    const auto total = static_cast<std::int64_t>(detail::kToneSeconds * rate);
    std::vector<float> samples(static_cast<std::size_t>(total * channels));
    for (std::int64_t i = 0; i < total; ++i)
        for (int c = 0; c < channels; ++c) samples[static_cast<std::size_t>(i * channels + c)] = static_cast<float>(detail::Tone(i, c, rate));
    if (media::FAILED(vorbis->Write(samples.data(), total, sink)) || media::FAILED(vorbis->Finish(sink))) std::abort();
    std::shared_ptr<AVCodecParameters> parameters(avcodec_parameters_alloc(), [](AVCodecParameters* p) { avcodec_parameters_free(&p); });
    parameters->codec_type = AVMEDIA_TYPE_AUDIO;
    parameters->codec_id = AV_CODEC_ID_VORBIS;
    parameters->sample_rate = rate;
    parameters->ch_layout = media::StandardLayout(channels);
    const auto& headers = vorbis->Headers();
    parameters->extradata = static_cast<std::uint8_t*>(av_mallocz(headers.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    std::memcpy(parameters->extradata, headers.data(), headers.size());
    parameters->extradata_size = static_cast<int>(headers.size());
    stream.type = media::MediaType::Audio(media::MakePcmFormat(static_cast<std::uint32_t>(rate), static_cast<std::uint16_t>(channels), 16));
    stream.type.codecParameters = std::move(parameters);
    return stream;
}

}  // namespace tessival::fuzz
