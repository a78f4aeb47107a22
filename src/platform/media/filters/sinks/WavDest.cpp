#include "platform/media/filters/sinks/WavDest.h"

#include "platform/media/filters/sinks/RiffInfo.h"

namespace tessival::media {

WavDest::WavDest() : TransformFilter(CLSID_WavDest, "In", "Out") {}

HRESULT WavDest::CheckInput(const MediaType& type) const {
    const WAVEFORMATEX* wave = type.WaveFormat();
    return type.majorType == MEDIATYPE_Audio && wave && wave->nChannels > 0 && wave->nBlockAlign > 0
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT WavDest::OutputTypesFor(const MediaType&, std::vector<MediaType>& types) const {
    types.push_back(MediaType::Stream(MEDIASUBTYPE_WAVE));
    return S_OK;
}

HRESULT WavDest::StartStreaming() {
    header_.emplace(InputType());
    header_->SetInfo(RiffInfoChunk(tags_));
    dataBytes_ = frames_ = 0;
    lastStop_ = 0;
    finalised_ = false;
    return WriteHeader();
}

void WavDest::StopStreaming() {
    // Stopped before the end: the file keeps what came so far, with sizes that match it.
    if (!finalised_) Finalise();
}

HRESULT WavDest::Transform(MediaSample& sample) {
    if (finalised_) return VFW_E_WRONG_STATE;
    const WAVEFORMATEX& wave = *InputType().WaveFormat();
    const std::uint64_t bytes = sample.data.size();
    if (sample.frameCount >= 0)
        frames_ += static_cast<std::uint64_t>(sample.frameCount);
    else if (wave.wFormatTag == WAVE_FORMAT_PCM)
        frames_ += bytes / wave.nBlockAlign;
    if (sample.stop > lastStop_) lastStop_ = sample.stop;
    sample.start = static_cast<REFERENCE_TIME>(header_->Size() + dataBytes_);
    sample.stop = sample.start + static_cast<REFERENCE_TIME>(bytes);
    dataBytes_ += bytes;
    return Deliver(sample);
}

HRESULT WavDest::Drain() { return Finalise(); }

HRESULT WavDest::WriteHeader() {
    MediaSample sample;
    sample.data = header_->Build(dataBytes_, frames_);
    sample.start = 0;
    sample.stop = static_cast<REFERENCE_TIME>(sample.data.size());
    return Deliver(sample);
}

HRESULT WavDest::Finalise() {
    finalised_ = true;
    if (frames_ == 0 && lastStop_ > 0) {
        // A compressed stream whose samples did not say how many frames they hold.
        frames_ = static_cast<std::uint64_t>(lastStop_) * InputType().WaveFormat()->nSamplesPerSec / kUnitsPerSecond;
    }
    if (dataBytes_ & 1) {
        MediaSample pad;
        pad.data.assign(1, 0);
        pad.start = static_cast<REFERENCE_TIME>(header_->Size() + dataBytes_);
        const HRESULT hr = Deliver(pad);
        if (FAILED(hr)) return hr;
    }
    return WriteHeader();
}

FilterEntry WavDest::Entry() {
    return MakeFilterEntry(CLSID_LegacyAmFilterCategory, CLSID_WavDest, "WAV Dest", MERIT_DO_NOT_USE,
                           {MediaTypePattern(MEDIATYPE_Audio)}, [] { return std::make_shared<WavDest>(); });
}

}  // namespace tessival::media
