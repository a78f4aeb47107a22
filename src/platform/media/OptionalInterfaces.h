#pragma once

#include <cstdint>
#include <string>

#include "platform/media/HResult.h"
#include "platform/media/MediaSample.h"
#include "platform/media/MediaType.h"

namespace tessival::media {

// Format ranges an audio capability covers; the program reads only the media type.
struct AUDIO_STREAM_CONFIG_CAPS {
    Guid guid = MEDIATYPE_Audio;
    std::uint32_t MinimumChannels = 0;
    std::uint32_t MaximumChannels = 0;
    std::uint32_t ChannelsGranularity = 1;
    std::uint32_t MinimumBitsPerSample = 0;
    std::uint32_t MaximumBitsPerSample = 0;
    std::uint32_t BitsPerSampleGranularity = 1;
    std::uint32_t MinimumSampleFrequency = 0;
    std::uint32_t MaximumSampleFrequency = 0;
    std::uint32_t SampleFrequencyGranularity = 1;
};

// On encoder output pins: the formats the encoder can produce, and the one it will produce.
class IAMStreamConfig {
public:
    virtual ~IAMStreamConfig() = default;
    // count = number of capabilities; size = sizeof(AUDIO_STREAM_CONFIG_CAPS).
    virtual HRESULT GetNumberOfCapabilities(int& count, int& size) = 0;
    // S_FALSE for an index past the end; E_INVALIDARG for a negative one.
    virtual HRESULT GetStreamCaps(int index, MediaType& type, AUDIO_STREAM_CONFIG_CAPS* caps) = 0;
    // Takes effect on the next connection of the pin; VFW_E_INVALIDMEDIATYPE for a format the
    // encoder cannot produce.
    virtual HRESULT SetFormat(const MediaType& type) = 0;
    // The format set, or the encoder's default when none was set.
    virtual HRESULT GetFormat(MediaType& type) = 0;
};

// On input pins of capture devices: one input line each.
class IAMAudioInputMixer {
public:
    virtual ~IAMAudioInputMixer() = default;
    virtual HRESULT put_Enable(bool enable) = 0;
    virtual HRESULT get_Enable(bool& enable) = 0;
};

// Source filters that are given their file (or track) by name.
class IFileSourceFilter {
public:
    virtual ~IFileSourceFilter() = default;
    virtual HRESULT Load(const std::string& path, const MediaType* type) = 0;
    virtual HRESULT GetCurFile(std::string& path, MediaType* type) const = 0;
};

inline constexpr std::uint32_t AM_FILE_OVERWRITE = 0x00000001;

// Sinks that write a file.
class IFileSinkFilter2 {
public:
    virtual ~IFileSinkFilter2() = default;
    virtual HRESULT SetFileName(const std::string& path, const MediaType* type) = 0;
    virtual HRESULT GetCurFile(std::string& path, MediaType* type) const = 0;
    virtual HRESULT SetMode(std::uint32_t flags) = 0;
    virtual HRESULT GetMode(std::uint32_t& flags) const = 0;
};

// Filters that know the length of their stream and how far they are (sources and parsers).
class IMediaSeeking {
public:
    virtual ~IMediaSeeking() = default;
    virtual HRESULT GetDuration(REFERENCE_TIME& duration) = 0;
    virtual HRESULT GetCurrentPosition(REFERENCE_TIME& position) = 0;
};

// Filters that must hear at once when the graph fails (a file sink discards its output).
class IStreamAbortSink {
public:
    virtual ~IStreamAbortSink() = default;
    virtual void OnStreamAborted(HRESULT reason) = 0;
};

// Transforms that can take their input through a bounded queue and work on a thread of their own,
// so that the filters upstream of them run on another core meanwhile. Set while stopped.
class IQueuedInput {
public:
    virtual ~IQueuedInput() = default;
    // At most `ahead` of audio waits in the queue; 0 works on the upstream thread, as by default.
    virtual HRESULT SetInputQueue(REFERENCE_TIME ahead) = 0;
};

// Encoders that can split their work over two threads of their own, for an item that holds a
// spare core. Set while stopped.
class ITwoThreadEncoding {
public:
    virtual ~ITwoThreadEncoding() = default;
    virtual HRESULT EncodeOnTwoThreads(bool twoThreads) = 0;
};

// File sinks that keep what a stopped stream wrote. When a file of the destination's name
// existed, it stays and the stopped output is kept beside it under another name.
class IStoppedOutputSink {
public:
    virtual ~IStoppedOutputSink() = default;
    // That other name, once the graph has stopped; empty when the output took the destination's
    // name or nothing was kept.
    virtual std::string OutputKeptBeside() const = 0;
};

}  // namespace tessival::media
