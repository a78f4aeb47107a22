#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/media/AudioEncoderFilter.h"
#include "platform/media/FilterRegistry.h"
#include "platform/media/ffmpeg/AvPtr.h"
#include "platform/media/ffmpeg/SampleConverter.h"
#include "platform/media/ffmpeg/TwoThreadFlacEncoder.h"

extern "C" {
#include <libavutil/samplefmt.h>
}

namespace tessival::media {

// What makes one libavcodec audio compressor: the codec, the formats to offer (those the
// encoder really opens with are kept) and how an opened encoder's output is described.
struct EncoderProfile {
    using Describe = std::function<MediaType(const AVCodecContext&, const WAVEFORMATEX&)>;
    using Configure = std::function<void(AVCodecContext&, const WAVEFORMATEX&)>;
    using ProbeKey = std::function<std::uint32_t(const WAVEFORMATEX&)>;
    using FollowSource = std::function<WAVEFORMATEX(const WAVEFORMATEX& choice, const WAVEFORMATEX& source)>;
    EncoderProfile(const Guid& clsid, const char* codecName, std::vector<WAVEFORMATEX> candidates, Describe describe,
                   Configure configure = nullptr, ProbeKey probeKey = nullptr, bool packetTimes = false,
                   FollowSource followSource = nullptr, std::uint32_t defaultByteRate = 16000,
                   bool wholeFirstFrame = false, bool describeWhenUsed = false)
        : clsid(clsid), codecName(codecName), candidates(std::move(candidates)), describe(std::move(describe)),
          configure(std::move(configure)), probeKey(std::move(probeKey)), packetTimes(packetTimes),
          followSource(std::move(followSource)), defaultByteRate(defaultByteRate), wholeFirstFrame(wholeFirstFrame),
          describeWhenUsed(describeWhenUsed) {}

    Guid clsid;
    const char* codecName;
    std::vector<WAVEFORMATEX> candidates;
    // The final format of a candidate, from the encoder opened for it or for its probe key (block
    // align, extra bytes).
    Describe describe;
    // Encoder options for a format, e.g. the ADPCM block size.
    Configure configure;
    // Optional: candidates with the same key open or refuse together, so one encoder, opened for
    // the first of them, decides for all and describes them (unless describeWhenUsed); the others
    // are kept when the codec declares their rate and channel count. Without it every candidate
    // opens its own encoder (some codecs only tell by refusing).
    ProbeKey probeKey;
    // Packets keep the encoder's own times and durations (priming before zero, the last packet's
    // real length) for muxers that signal delay and padding themselves; otherwise they are counted
    // from zero and cut to the source's length, as the fact chunk wants.
    bool packetTimes;
    // Optional: the format a choice with no rate (one that follows the source) takes for a source.
    FollowSource followSource;
    // The byte rate the default format is nearest to.
    std::uint32_t defaultByteRate;
    // A source shorter than one frame is padded with silence to a whole frame: the container
    // would otherwise hold a stream that decodes to nothing. When the source's length is known
    // before it starts, that silence goes in front as part of the priming, so the stream ends on a
    // frame boundary: readers that trim only the start (FFmpeg's MP4 reader) then play it exactly.
    bool wholeFirstFrame;
    // The listed choices hold only their format block; the encoder opened for a choice a
    // conversion uses describes it (FLAC's header holds the level's block size, which a probe
    // opened for another level would get wrong).
    bool describeWhenUsed;

    // Worked out on first use: opening encoders takes a moment.
    const std::vector<MediaType>& Capabilities() const;
    // The type an encoder opened for the format describes; empty when it refuses. Kept for the
    // process: every item of a run asks again for the same few formats.
    MediaType DescribedFor(const WAVEFORMATEX& format) const;

    // The caches behind Capabilities and DescribedFor.
    mutable std::once_flag built_;
    mutable std::vector<MediaType> capabilities_;
    mutable std::mutex describedMutex_;
    mutable std::vector<std::pair<WAVEFORMATEX, MediaType>> described_;
};

// An audio compressor on libavcodec: PCM of any rate, width and channel count in (converted to
// what the encoder takes with libswresample), the chosen format out, one packet per sample
// with its frame count for the fact chunk.
class LavcAudioEncoder : public AudioEncoderFilter, public ITwoThreadEncoding {
public:
    explicit LavcAudioEncoder(const EncoderProfile& profile);
    ~LavcAudioEncoder() override;

    const std::vector<MediaType>& Capabilities() const override;
    // The capability at the input's rate (a choice that follows the source has it) and channels
    // nearest the profile's default byte rate, else the nearest one.
    MediaType DefaultFormat(const MediaType& input) const override;
    MediaType ForInput(const MediaType& chosen, const MediaType& input) const override;
    // FLAC only: its frames stand alone.
    HRESULT EncodeOnTwoThreads(bool twoThreads) override;

    // An encoder context opened for the format, owned by the caller; null when the encoder
    // refuses it. preferred: the interleaved sample format the input will come in, when known.
    // Any thread may call it: it reads only the profile.
    static AvCodecContextPtr OpenEncoder(const EncoderProfile& profile, const WAVEFORMATEX& format,
                                         AVSampleFormat preferred = AV_SAMPLE_FMT_NONE);

protected:
    HRESULT CheckInput(const MediaType& type) const override;
    HRESULT StartStreaming() override;
    void StopStreaming() override;
    HRESULT Transform(MediaSample& sample) override;
    HRESULT Drain() override;

private:
    HRESULT EncodeQueued(bool final);
    HRESULT PrepareFrame(int samples);
    HRESULT SendFrame();
    int SendToEncoder(const AVFrame* frame);
    int ReceiveFromEncoder(AVPacket* packet);
    HRESULT ReceivePackets();
    // Packets with the encoder's own times go out one late, so the last can be fitted to the
    // source's end once that is known.
    HRESULT HoldBack(std::int64_t first);
    HRESULT DeliverLast();
    // The source's length at the encoder's rate, as the filters upstream announce it; -1 unknown.
    std::int64_t ExpectedFrames() const;

    const EncoderProfile& profile_;
    SampleConverter converter_;
    AvCodecContextPtr context_;
    bool twoThreads_ = false;
    std::unique_ptr<TwoThreadFlacEncoder> twoThreadEncoder_;  // encodes in place of context_ when set
    AvFramePtr frame_;
    AvPacketPtr packet_;
    std::vector<std::uint8_t> queue_;  // converted interleaved samples not yet encoded
    std::size_t frameBytes_ = 0;
    std::int64_t framesIn_ = 0;
    std::int64_t framesOut_ = 0;
    std::int64_t sourceFrames_ = -1;  // known at the end of the stream
    std::int64_t frontPadding_ = 0;   // silence queued before the source
    MediaSample out_;
    MediaSample held_;
    std::int64_t heldFirst_ = 0;
    std::int64_t packetsSeen_ = 0;
    std::int64_t timelineStart_ = 0;  // where the first packet starts, priming included
    std::int64_t naturalFrames_ = 0;  // what the packets decode to before any trimming
    bool signalsTrim_ = false;
};

}  // namespace tessival::media
