#include "platform/media/TransformFilter.h"

namespace tessival::media {

HRESULT TransformFilter::CheckInputType(const BasePin& pin, const MediaType& type) const {
    if (&pin != &input_) return VFW_E_TYPE_NOT_ACCEPTED;
    return CheckInput(type);
}

HRESULT TransformFilter::CheckOutputType(const BasePin& pin, const MediaType& type) const {
    if (&pin != &output_ || !input_.IsConnected()) return VFW_E_TYPE_NOT_ACCEPTED;
    return BaseFilter::CheckOutputType(pin, type);
}

HRESULT TransformFilter::GetMediaTypes(const BasePin& pin, std::vector<MediaType>& types) const {
    if (&pin == &input_) return PreferredInputTypes(types);
    if (!input_.IsConnected()) return S_OK;
    return OutputTypesFor(input_.CurrentType(), types);
}

HRESULT TransformFilter::OnConnected(BasePin&) { return S_OK; }

void TransformFilter::OnDisconnected(BasePin& pin) {
    // An output negotiated for the old input no longer holds.
    if (&pin != &input_ || !output_.IsConnected()) return;
    std::shared_ptr<IPin> peer;
    if (SUCCEEDED(output_.ConnectedTo(peer))) peer->Disconnect();
    output_.Disconnect();
}

HRESULT TransformFilter::Receive(InputPin&, MediaSample& sample) {
    if (State() == State_Stopped) return VFW_E_WRONG_STATE;
    OnInput(sample);
    return Transform(sample);
}

HRESULT TransformFilter::EndOfStream(InputPin&) {
    if (State() == State_Stopped) return VFW_E_WRONG_STATE;
    const HRESULT hr = Drain();
    if (FAILED(hr)) return hr;
    return output_.IsConnected() ? output_.DeliverEndOfStream() : S_OK;
}

HRESULT TransformFilter::DeliverAudio(MediaSample& sample, std::int64_t& framesSoFar, bool discontinuity) {
    const WAVEFORMATEX* wave = OutputType().WaveFormat();
    if (sample.data.empty()) return S_OK;
    if (!wave || wave->nBlockAlign == 0 || wave->nSamplesPerSec == 0) return VFW_E_INVALIDMEDIATYPE;
    const std::int64_t frames = static_cast<std::int64_t>(sample.data.size()) / wave->nBlockAlign;
    sample.start = framesSoFar * kUnitsPerSecond / wave->nSamplesPerSec;
    framesSoFar += frames;
    sample.stop = framesSoFar * kUnitsPerSecond / wave->nSamplesPerSec;
    sample.frameCount = frames;
    sample.discontinuity = discontinuity;
    return Deliver(sample);
}

HRESULT TransformFilter::OnPrepare() {
    if (!input_.IsConnected()) return S_OK;
    return StartStreaming();
}

void TransformFilter::OnRelease() {
    if (input_.IsConnected()) StopStreaming();
}

}  // namespace tessival::media
