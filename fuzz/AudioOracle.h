#pragma once

// What FFmpeg's own demuxers and decoders make of a file, to judge our outputs by a reader that
// is not ours: the first audio stream's length and whether every decoded sample is a number.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/media/ffmpeg/AvPtr.h"

namespace tessival::fuzz {

struct DecodedAudio {
    double seconds = 0;          // decoded, up to the demuxer's first failed read
    double declaredSeconds = 0;  // what the container says or estimates from its size, 0 when nothing
    bool finite = true;  // no NaN or infinity among float samples
    std::int64_t samples = 0;  // decoded frames, at rate
    int rate = 0;
    std::optional<std::string> title;  // the file's title, else its audio stream's
    std::vector<std::pair<std::string, std::string>> tags;  // the file's and its audio stream's
};

namespace detail {

inline bool FramesFinite(const AVFrame& frame) {
    const auto format = static_cast<AVSampleFormat>(frame.format);
    if (format != AV_SAMPLE_FMT_FLT && format != AV_SAMPLE_FMT_FLTP && format != AV_SAMPLE_FMT_DBL &&
        format != AV_SAMPLE_FMT_DBLP)
        return true;
    const bool planar = av_sample_fmt_is_planar(format);
    const int channels = frame.ch_layout.nb_channels;
    const int planes = planar ? channels : 1;
    const int perPlane = frame.nb_samples * (planar ? 1 : channels);
    for (int p = 0; p < planes; ++p) {
        for (int i = 0; i < perPlane; ++i) {
            const double value = format == AV_SAMPLE_FMT_FLT || format == AV_SAMPLE_FMT_FLTP
                                     ? reinterpret_cast<const float*>(frame.extended_data[p])[i]
                                     : reinterpret_cast<const double*>(frame.extended_data[p])[i];
            if (!std::isfinite(value)) return false;
        }
    }
    return true;
}

}  // namespace detail

// Nothing when FFmpeg finds no audio stream it can decode in the file. formatName names the
// demuxer to read it with; null lets FFmpeg probe.
inline std::optional<DecodedAudio> DecodeWithFfmpeg(const std::string& path, const char* formatName = nullptr) {
    AVFormatContext* raw = nullptr;
    const AVInputFormat* format = formatName ? av_find_input_format(formatName) : nullptr;
    if (avformat_open_input(&raw, path.c_str(), format, nullptr) < 0) return std::nullopt;
    const media::AvInputFormatPtr input(raw);
    if (avformat_find_stream_info(input.get(), nullptr) < 0) return std::nullopt;
    const AVCodec* codec = nullptr;
    const int stream = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (stream < 0 || !codec) return std::nullopt;
    media::AvCodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), input->streams[stream]->codecpar) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return std::nullopt;
    media::AvPacketPtr packet(av_packet_alloc());
    media::AvFramePtr frame(av_frame_alloc());
    DecodedAudio decoded;
    if (input->duration != AV_NOPTS_VALUE && input->duration > 0)
        decoded.declaredSeconds = static_cast<double>(input->duration) / AV_TIME_BASE;
    if (const AVDictionaryEntry* title = av_dict_get(input->metadata, "title", nullptr, 0))
        decoded.title = title->value;
    else if (const AVDictionaryEntry* own = av_dict_get(input->streams[stream]->metadata, "title", nullptr, 0))
        decoded.title = own->value;
    for (const AVDictionary* metadata : {input->metadata, input->streams[stream]->metadata}) {
        const AVDictionaryEntry* entry = nullptr;
        while ((entry = av_dict_get(metadata, "", entry, AV_DICT_IGNORE_SUFFIX)))
            decoded.tags.emplace_back(entry->key, entry->value);
    }
    std::int64_t& samples = decoded.samples;
    int& rate = decoded.rate;
    const auto drain = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            samples += frame->nb_samples;
            rate = frame->sample_rate;
            decoded.finite = decoded.finite && detail::FramesFinite(*frame);
        }
    };
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        if (packet->stream_index == stream && avcodec_send_packet(decoder.get(), packet.get()) >= 0) drain();
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder.get(), nullptr);
    drain();
    decoded.seconds = rate > 0 ? static_cast<double>(samples) / rate : 0;
    return decoded;
}

}  // namespace tessival::fuzz
