#include "platform/media/ffmpeg/LavcAudioDecoder.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/intreadwrite.h>
}

namespace tessival::media {
namespace {

constexpr int kMaxFailuresPerPacket = 64;

AVCodecID CodecIdOf(const MediaType& type) {
    if (type.codecParameters) return type.codecParameters->codec_id;
    const WAVEFORMATEX* wave = type.WaveFormat();
    if (!wave) return AV_CODEC_ID_NONE;
    const std::uint16_t tag = EffectiveFormatTag(type);
    if (tag == WAVE_FORMAT_PCM) {
        switch (wave->wBitsPerSample) {
        case 8: return AV_CODEC_ID_PCM_U8;
        case 16: return AV_CODEC_ID_PCM_S16LE;
        case 24: return AV_CODEC_ID_PCM_S24LE;
        case 32: return AV_CODEC_ID_PCM_S32LE;
        case 64: return AV_CODEC_ID_PCM_S64LE;
        default: return AV_CODEC_ID_NONE;
        }
    }
    if (tag == WAVE_FORMAT_IEEE_FLOAT) return wave->wBitsPerSample == 64 ? AV_CODEC_ID_PCM_F64LE : AV_CODEC_ID_PCM_F32LE;
    const AVCodecTag* const tables[] = {avformat_get_riff_audio_tags(), nullptr};
    return av_codec_get_id(tables, tag);
}

}  // namespace

std::uint16_t EffectiveFormatTag(const MediaType& type) {
    const WAVEFORMATEX* wave = type.WaveFormat();
    if (!wave) return 0;
    const auto extra = type.ExtraBytes();
    // WAVEFORMATEXTENSIBLE: valid bits (2), channel mask (4), then the subformat GUID whose
    // first two bytes are the tag.
    if (wave->wFormatTag == WAVE_FORMAT_EXTENSIBLE && extra.size() >= 22)
        return static_cast<std::uint16_t>(extra[6] | extra[7] << 8);
    return wave->wFormatTag;
}

LavcAudioDecoder::LavcAudioDecoder() = default;

LavcAudioDecoder::~LavcAudioDecoder() { Close(); }

bool LavcAudioDecoder::CanDecode(const MediaType& type) {
    const AVCodecID id = CodecIdOf(type);
    return id != AV_CODEC_ID_NONE && avcodec_find_decoder(id) != nullptr;
}

HRESULT LavcAudioDecoder::Open(const MediaType& type) {
    Close();
    skippedPackets_ = decodedFrames_ = 0;
    const AVCodec* codec = avcodec_find_decoder(CodecIdOf(type));
    const WAVEFORMATEX* wave = type.WaveFormat();
    if (!codec || (!wave && !type.codecParameters)) return VFW_E_TYPE_NOT_ACCEPTED;
    context_.reset(avcodec_alloc_context3(codec));
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!context_ || !frame_ || !packet_) return E_OUTOFMEMORY;
    if (type.codecParameters) {
        if (avcodec_parameters_to_context(context_.get(), type.codecParameters.get()) < 0) return E_FAIL;
    } else {
        av_channel_layout_default(&context_->ch_layout, wave->nChannels);
        context_->sample_rate = static_cast<int>(wave->nSamplesPerSec);
        context_->block_align = wave->nBlockAlign;
        context_->bit_rate = static_cast<std::int64_t>(wave->nAvgBytesPerSec) * 8;
        context_->bits_per_coded_sample = wave->wBitsPerSample;
        context_->codec_tag = wave->wFormatTag;
        const auto extra = type.ExtraBytes();
        if (!extra.empty()) {
            context_->extradata = static_cast<std::uint8_t*>(av_mallocz(extra.size() + AV_INPUT_BUFFER_PADDING_SIZE));
            if (!context_->extradata) return E_OUTOFMEMORY;
            std::memcpy(context_->extradata, extra.data(), extra.size());
            context_->extradata_size = static_cast<int>(extra.size());
        }
    }
    if (avcodec_open2(context_.get(), codec, nullptr) < 0) {
        Close();
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
}

void LavcAudioDecoder::Close() {
    context_.reset();
    frame_.reset();
    packet_.reset();
}

HRESULT LavcAudioDecoder::Decode(const std::uint8_t* data, std::size_t size, const FrameSink& sink,
                                 std::uint32_t trimStart, std::uint32_t trimEnd) {
    if (!context_) return E_UNEXPECTED;
    if (size == 0) return S_OK;
    if (av_new_packet(packet_.get(), static_cast<int>(size)) < 0) return E_OUTOFMEMORY;
    std::memcpy(packet_->data, data, size);
    if (trimStart || trimEnd) {
        // libavcodec drops them itself: skip, discard padding, two reason bytes.
        std::uint8_t* side = av_packet_new_side_data(packet_.get(), AV_PKT_DATA_SKIP_SAMPLES, 10);
        if (!side) {
            av_packet_unref(packet_.get());
            return E_OUTOFMEMORY;
        }
        AV_WL32(side, trimStart);
        AV_WL32(side + 4, trimEnd);
        side[8] = side[9] = 0;
    }
    const HRESULT hr = Send(packet_.get(), sink);
    av_packet_unref(packet_.get());
    return hr;
}

HRESULT LavcAudioDecoder::Flush(const FrameSink& sink) {
    if (!context_) return S_OK;
    return Send(nullptr, sink);
}

HRESULT LavcAudioDecoder::Send(const AVPacket* packet, const FrameSink& sink) {
    // libavcodec drops a packet it fails on and keeps its state, so decoding goes on after it.
    int ret = avcodec_send_packet(context_.get(), packet);
    if (ret == AVERROR(ENOMEM)) return E_OUTOFMEMORY;
    if (ret < 0 && ret != AVERROR_EOF) ++skippedPackets_;
    // Each failure consumes what failed; the bound only guards against a decoder that does not.
    for (int failures = 0; failures < kMaxFailuresPerPacket;) {
        ret = avcodec_receive_frame(context_.get(), frame_.get());
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF) return S_OK;
        if (ret == AVERROR(ENOMEM)) return E_OUTOFMEMORY;
        if (ret < 0) {
            ++skippedPackets_;
            ++failures;
            continue;
        }
        ++decodedFrames_;
        const HRESULT hr = sink(*frame_);
        av_frame_unref(frame_.get());
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

}  // namespace tessival::media
