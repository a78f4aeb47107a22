#pragma once

#include <cstdint>
#include <memory>

struct AVCodecContext;
struct AVCodecParameters;
struct AVDictionary;
struct AVFormatContext;
struct AVFrame;
struct AVIOContext;
struct AVPacket;
struct SwrContext;

namespace tessival::media {

// Owners of FFmpeg's objects, each freed with the function FFmpeg pairs with its allocator. A
// function that hands one over returns its owner; a raw pointer in our code never owns.
struct AvFree {
    // A demuxer's context, from avformat_open_input (or avformat_alloc_context before it).
    void operator()(AVFormatContext* context) const;
    void operator()(AVCodecContext* context) const;
    void operator()(AVCodecParameters* parameters) const;
    void operator()(AVFrame* frame) const;
    void operator()(AVPacket* packet) const;
    void operator()(SwrContext* swr) const;
    void operator()(AVDictionary* dictionary) const;
    // A custom I/O context and the buffer libavformat may have replaced since avio_alloc_context.
    void operator()(AVIOContext* context) const;
    // A buffer from av_malloc not yet handed to FFmpeg.
    void operator()(std::uint8_t* buffer) const;
};

// A muxer's context, from avformat_alloc_output_context2: freed without closing any input.
struct AvOutputFormatFree {
    void operator()(AVFormatContext* context) const;
};

using AvInputFormatPtr = std::unique_ptr<AVFormatContext, AvFree>;
using AvOutputFormatPtr = std::unique_ptr<AVFormatContext, AvOutputFormatFree>;
using AvCodecContextPtr = std::unique_ptr<AVCodecContext, AvFree>;
using AvCodecParametersPtr = std::unique_ptr<AVCodecParameters, AvFree>;
using AvFramePtr = std::unique_ptr<AVFrame, AvFree>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvFree>;
using SwrContextPtr = std::unique_ptr<SwrContext, AvFree>;
using AvDictionaryPtr = std::unique_ptr<AVDictionary, AvFree>;
using AvIoContextPtr = std::unique_ptr<AVIOContext, AvFree>;
using AvBufferPtr = std::unique_ptr<std::uint8_t, AvFree>;

}  // namespace tessival::media
