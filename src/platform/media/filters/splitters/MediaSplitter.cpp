#include "platform/media/filters/splitters/MediaSplitter.h"

#include <algorithm>
#include <cstdio>
#include <limits>

extern "C" {
#include <libavcodec/codec_par.h>
#include <libavutil/mathematics.h>
}

#include "platform/media/filters/decoders/CodecSubtype.h"
#include "platform/media/TrackStream.h"

namespace tessival::media {
namespace {

constexpr std::int64_t kCdFramesPerSecond = 75;

// The stream's audio under its codec's subtype. The wave tag is cleared: a tag shared with the
// wave family (PCM of another byte order, say) must not make anyone read it as that.
MediaType CodecTyped(const MediaType& type) {
    WAVEFORMATEX wave = *type.WaveFormat();
    wave.wFormatTag = 0;
    const auto extra = type.ExtraBytes();
    const std::vector<std::uint8_t> bytes(extra.begin(), extra.end());
    MediaType typed = MediaType::Audio(wave, bytes);
    typed.subtype = CodecSubtype(static_cast<std::uint32_t>(type.codecParameters->codec_id));
    typed.codecParameters = type.codecParameters;
    return typed;
}

// A lossy decoder's output depends on the packets before (overlapping transforms, MP3's bit
// reservoir, Opus' prediction), so a track is decoded from an earlier point and the lead-in
// dropped: its samples are then the ones a decode of the whole file gives there. For the codecs
// whose decoders forget within a few frames a second is plenty (it covers the deepest MP3
// reservoir at the lowest bit rate and Opus' own pre-roll); the others (AAC's noise substitution
// draws from a generator that runs from the first frame) are decoded from the file's start.
// Lossless frames stand alone and need none.
std::int64_t PrerollSamples(const AVCodecParameters* codec, int rate) {
    constexpr std::int64_t kFromTheStart = std::numeric_limits<std::int64_t>::max() / 2;
    if (!codec) return kFromTheStart;
    const AVCodecID id = codec->codec_id;
    const bool pcm = id >= AV_CODEC_ID_FIRST_AUDIO && id < AV_CODEC_ID_ADPCM_IMA_QT;
    if (pcm || id == AV_CODEC_ID_FLAC || id == AV_CODEC_ID_ALAC || id == AV_CODEC_ID_WAVPACK || id == AV_CODEC_ID_TTA)
        return 0;
    const bool forgetsSoon = id == AV_CODEC_ID_MP1 || id == AV_CODEC_ID_MP2 || id == AV_CODEC_ID_MP3 ||
                             id == AV_CODEC_ID_VORBIS || id == AV_CODEC_ID_OPUS || id == AV_CODEC_ID_APE;
    return forgetsSoon ? std::max<std::int64_t>(rate, codec->seek_preroll) : kFromTheStart;
}

std::int64_t ToSamples(REFERENCE_TIME time, int rate) { return av_rescale(time, rate, kUnitsPerSecond); }

REFERENCE_TIME ToTime(std::int64_t samples, int rate) { return av_rescale(samples, kUnitsPerSecond, rate); }

}  // namespace

MediaSplitter::MediaSplitter() : SplitterFilter(CLSID_MediaSplitter, "Input") {}

bool MediaSplitter::AcceptsStream(const MediaType& type) const {
    // Streams the sniffer could not name, album tracks, and MPEG audio the named splitter
    // refused (an ID3 tag in front of another format).
    return type.subtype == GUID_NULL || type.subtype == MEDIASUBTYPE_AlbumTrack ||
           type.subtype == MEDIASUBTYPE_MPEG1Audio;
}

HRESULT MediaSplitter::OpenStream(IAsyncReader&) {
    const HRESULT hr = demuxer_.Open(Reader(), nullptr);
    if (FAILED(hr)) return hr;
    outputs_.clear();
    track_.reset();
    const auto range = TrackRangeOf(InputType());
    AddOutputs(range.has_value());
    if (outputs_.empty()) return VFW_E_INVALID_FILE_FORMAT;
    SetDuration(demuxer_.Duration());
    if (range) {
        trackRate_ = static_cast<int>(OfferedType(*outputs_.front().second)->WaveFormat()->nSamplesPerSec);
        SampleRange samples;
        samples.first = range->firstFrame * trackRate_ / kCdFramesPerSecond;
        samples.preroll = PrerollSamples(OfferedType(*outputs_.front().second)->codecParameters.get(), trackRate_);
        if (range->endFrame >= 0) samples.end = range->endFrame * trackRate_ / kCdFramesPerSecond;
        track_ = samples;
        const REFERENCE_TIME whole = demuxer_.Duration();
        const REFERENCE_TIME end = samples.end >= 0 ? std::min(whole, ToTime(samples.end, trackRate_)) : whole;
        SetDuration(std::max<REFERENCE_TIME>(0, end - ToTime(samples.first, trackRate_)));
    }
    return S_OK;
}

void MediaSplitter::AddOutputs(bool firstAudioOnly) {
    int audio = 0, video = 0;
    for (const auto& stream : demuxer_.Streams()) {
        if (stream.video || !stream.type.codecParameters) continue;
        char name[24];
        std::snprintf(name, sizeof name, "Audio %02d", audio++);
        outputs_.emplace_back(stream.index, &AddOutput(name, CodecTyped(stream.type)));
        if (firstAudioOnly) return;
    }
    for (const auto& stream : demuxer_.Streams()) {
        if (!stream.video || demuxer_.IsAttachedPicture(stream.index)) continue;
        char name[24];
        std::snprintf(name, sizeof name, "Video %02d", video++);
        outputs_.emplace_back(stream.index, &AddOutput(name, stream.type));
    }
}

void MediaSplitter::CloseStream() {
    outputs_.clear();
    track_.reset();
    demuxer_.Close();
}

bool MediaSplitter::CutToTrack(MediaSample& sample, bool& pastEnd) const {
    // Before the stream's first sample a container's times run negative; only -1 is unknown.
    if (!track_ || sample.start == -1) return true;
    const std::int64_t from = ToSamples(sample.start, trackRate_);
    const std::int64_t to = sample.stop != -1 ? ToSamples(sample.stop, trackRate_) : -1;
    if (track_->end >= 0 && from >= track_->end) {
        pastEnd = true;
        return false;
    }
    // A track from the stream's start is cut only at its end: the stream's own first packets,
    // and the trims the container gives them, are the track's.
    const bool cutStart = track_->first > 0;
    if (cutStart && to != -1 && to <= track_->first) {
        if (to <= track_->first - track_->preroll) return false;
        // Decoded for the state it leaves the decoder in, then dropped whole.
        sample.trimStart = static_cast<std::uint32_t>(std::max<std::int64_t>(to - from, sample.trimStart));
        sample.trimEnd = 0;
        return true;
    }
    if (cutStart && from < track_->first) sample.trimStart = std::max<std::uint32_t>(sample.trimStart, static_cast<std::uint32_t>(track_->first - from));
    if (track_->end >= 0 && to > track_->end)
        sample.trimEnd = std::max<std::uint32_t>(sample.trimEnd, static_cast<std::uint32_t>(to - track_->end));
    return true;
}

HRESULT MediaSplitter::DeliverNext() {
    int index = -1;
    const HRESULT hr = demuxer_.Read(index, sample_);
    if (hr != S_OK) return hr;
    const auto output = std::find_if(outputs_.begin(), outputs_.end(), [index](const auto& o) { return o.first == index; });
    if (output == outputs_.end()) return S_OK;
    bool pastEnd = false;
    if (!CutToTrack(sample_, pastEnd)) return pastEnd ? S_FALSE : S_OK;
    if (sample_.start >= 0) SetPosition(track_ ? std::max<REFERENCE_TIME>(0, sample_.start - ToTime(track_->first, trackRate_)) : sample_.start);
    return DeliverTo(*output->second, sample_);
}

FilterEntry MediaSplitter::Entry() {
    // Below the named splitters: a file one of them reads keeps its graph.
    return MakeFilterEntry(CLSID_LegacyAmFilterCategory, CLSID_MediaSplitter, "Media Splitter", MERIT_UNLIKELY,
                           {MediaTypePattern(MEDIATYPE_Stream)}, [] { return std::make_shared<MediaSplitter>(); });
}

}  // namespace tessival::media
