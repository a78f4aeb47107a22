#include "platform/media/filters/analysis/FileLoudness.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/log.h>
}

#include <vector>

#include "platform/media/ffmpeg/LavcAudioDecoder.h"
#include "platform/media/ffmpeg/LavfDemuxer.h"
#include "platform/media/ffmpeg/SampleConverter.h"

namespace tessival::media {
namespace {

// Decoded frames of any format, as interleaved floats into the meter; a change of format
// mid-stream opens the converter again.
class FloatFeed {
public:
    explicit FloatFeed(LoudnessMeter& meter) : meter_(meter) {}

    HRESULT operator()(const AVFrame& frame) {
        const SampleConverter::Format in{static_cast<AVSampleFormat>(frame.format), frame.ch_layout.nb_channels,
                                         frame.sample_rate};
        if (!(in == in_)) {
            const SampleConverter::Format out{AV_SAMPLE_FMT_FLT, in.channels, in.sampleRate};
            if (const HRESULT opened = converter_.Open(in, out); FAILED(opened)) return opened;
            in_ = in;
        }
        floats_.clear();
        if (const HRESULT converted = converter_.Convert(frame.extended_data, frame.nb_samples, floats_); FAILED(converted))
            return converted;
        meter_.MeasureFloat(static_cast<unsigned>(in_.channels), static_cast<unsigned long>(in_.sampleRate),
                            std::span(reinterpret_cast<const float*>(floats_.data()), floats_.size() / sizeof(float)));
        return S_OK;
    }

private:
    LoudnessMeter& meter_;
    SampleConverter converter_;
    SampleConverter::Format in_;
    std::vector<std::uint8_t> floats_;
};

}  // namespace

HRESULT MeasureFileLoudness(const std::string& path, LoudnessMeter& meter, const std::atomic<bool>* stop) {
    // As in conversions, failures come back as codes; libav's log lines would clutter the terminal.
    av_log_set_level(AV_LOG_QUIET);
    LavfDemuxer demuxer;
    if (const HRESULT opened = demuxer.OpenFile(path, nullptr); FAILED(opened)) return opened;
    const LavfDemuxer::Stream* audio = nullptr;
    for (const auto& stream : demuxer.Streams())
        if (!stream.video && !audio) audio = &stream;
    if (!audio) return VFW_E_UNSUPPORTED_STREAM;
    LavcAudioDecoder decoder;
    if (const HRESULT opened = decoder.Open(audio->type); FAILED(opened)) return opened;
    demuxer.ReadOnly({audio->index});
    FloatFeed feed(meter);
    const LavcAudioDecoder::FrameSink sink = [&feed](const AVFrame& frame) { return feed(frame); };
    MediaSample sample;
    int index = -1;
    for (;;) {
        if (stop && stop->load(std::memory_order_relaxed)) return S_FALSE;
        const HRESULT read = demuxer.Read(index, sample);
        if (FAILED(read)) return read;
        if (read == S_FALSE) break;
        const HRESULT decoded = decoder.Decode(sample.data.data(), sample.data.size(), sink, sample.trimStart, sample.trimEnd);
        if (FAILED(decoded)) return decoded;
    }
    if (const HRESULT flushed = decoder.Flush(sink); FAILED(flushed)) return flushed;
    return decoder.DecodedFrames() > 0 ? S_OK : VFW_E_INVALID_FILE_FORMAT;
}

}  // namespace tessival::media
