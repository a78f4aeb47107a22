#pragma once

#include <optional>

#include "platform/media/FilterRegistry.h"
#include "platform/media/MediaTags.h"
#include "platform/media/TransformFilter.h"
#include "platform/media/filters/sinks/WaveHeader.h"

namespace tessival::media {

// "WAV Dest": wraps any wave format into a RIFF WAVE byte stream for "File Writer". Samples
// go out with their byte offset in start; the header goes out first with empty sizes and again,
// with the real ones, at the end of the stream or when the graph stops, so that a stopped
// conversion still leaves a valid file.
class WavDest : public TransformFilter, public ITagSink {
public:
    WavDest();
    static FilterEntry Entry();
    // What fits of them goes into a LIST/INFO chunk.
    void SetTags(const MediaTags& tags) override { tags_ = tags; }

protected:
    HRESULT CheckInput(const MediaType& type) const override;
    HRESULT OutputTypesFor(const MediaType& input, std::vector<MediaType>& types) const override;
    HRESULT StartStreaming() override;
    void StopStreaming() override;
    HRESULT Transform(MediaSample& sample) override;
    HRESULT Drain() override;

private:
    HRESULT WriteHeader();
    HRESULT Finalise();

    std::optional<WaveHeader> header_;
    std::uint64_t dataBytes_ = 0;
    std::uint64_t frames_ = 0;
    REFERENCE_TIME lastStop_ = 0;
    bool finalised_ = false;
    MediaTags tags_;
};

}  // namespace tessival::media
