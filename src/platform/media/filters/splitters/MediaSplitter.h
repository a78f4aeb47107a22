#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "platform/io/TrackPath.h"
#include "platform/media/FilterRegistry.h"
#include "platform/media/IDamagedDataCount.h"
#include "platform/media/SplitterFilter.h"
#include "platform/media/ffmpeg/LavfDemuxer.h"

namespace tessival::media {

inline constexpr Guid CLSID_MediaSplitter{0x8A1F3C52, 0x4C41, 0x5643, {0x73, 0x70, 0x6C, 0x69, 0x74, 0x00, 0x00, 0x00}};

// "Media Splitter": any container libavformat recognises by its content (FLAC, MP4/M4A/MOV,
// Ogg, AIFF, WavPack, Matroska/WebM, CAF, ...), below the named splitters in merit so that the
// files they know keep their own. One output per audio stream ("Audio 00", ...), then one per
// video stream; cover pictures get none. Audio leaves under its codec's subtype, for "Audio
// Decoder".
//
// A track of a one-file album (a track stream from "File Source (Async.)") gives only its first
// audio stream, cut sample-exactly to the track: whole packets outside it are not sent, but for
// a lead-in that the decoder decodes and drops, and the decoder trims the packets at its edges.
class MediaSplitter : public SplitterFilter, public IDamagedDataCount {
public:
    MediaSplitter();
    static FilterEntry Entry();

    // Damaged pieces of the container skipped while reading.
    std::int64_t SkippedPackets() const override { return demuxer_.SkippedPackets(); }

protected:
    bool AcceptsStream(const MediaType& type) const override;
    HRESULT OpenStream(IAsyncReader& reader) override;
    void CloseStream() override;
    HRESULT DeliverNext() override;

private:
    // The track's samples, [first, end) at the stream's rate; end -1: to the end of the file.
    // The `preroll` samples before first are decoded and dropped.
    struct SampleRange {
        std::int64_t first = 0;
        std::int64_t end = -1;
        std::int64_t preroll = 0;
    };
    void AddOutputs(bool firstAudioOnly);
    // False when the packet lies wholly outside the track; otherwise sets its trims.
    bool CutToTrack(MediaSample& sample, bool& pastEnd) const;

    LavfDemuxer demuxer_;
    std::vector<std::pair<int, OutputPin*>> outputs_;  // container stream index -> pin
    std::optional<SampleRange> track_;
    int trackRate_ = 0;
    MediaSample sample_;
};

}  // namespace tessival::media
