#include "platform/media/TransformFilter.h"

#include <algorithm>

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
    fedAny_ = true;
    return queueAhead_ > 0 ? handoff_.Push(sample) : Transform(sample);
}

HRESULT TransformFilter::EndOfStream(InputPin&) {
    if (State() == State_Stopped) return VFW_E_WRONG_STATE;
    return queueAhead_ > 0 ? handoff_.PushEndOfStream() : EndStream();
}

HRESULT TransformFilter::EndStream() {
    ended_ = true;
    HRESULT hr = AcceptEnd();
    if (SUCCEEDED(hr)) hr = Drain();
    if (FAILED(hr)) return hr;
    return output_.IsConnected() ? output_.DeliverEndOfStream() : S_OK;
}

HRESULT TransformFilter::SetInputQueue(REFERENCE_TIME ahead) {
    if (State() != State_Stopped) return VFW_E_NOT_STOPPED;
    queueAhead_ = std::max<REFERENCE_TIME>(ahead, 0);
    return S_OK;
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
    ended_ = fedAny_ = false;
    return StartStreaming();
}

HRESULT TransformFilter::OnStart() {
    if (queueAhead_ <= 0) return S_OK;
    // Input of no known rate (a byte stream) queues a fixed amount.
    const WAVEFORMATEX* wave = InputType().WaveFormat();
    const std::int64_t rate = wave && wave->nAvgBytesPerSec > 0 ? wave->nAvgBytesPerSec : 4 << 20;
    handoff_.Start(static_cast<std::size_t>(rate * queueAhead_ / kUnitsPerSecond),
                   {[this](MediaSample& sample) { return Transform(sample); }, [this] { return EndStream(); },
                    [this](HRESULT hr) { ReportError(hr); }});
    return S_OK;
}

void TransformFilter::OnHalt() {
    if (queueAhead_ > 0) handoff_.Finish();
}

void TransformFilter::OnRelease() {
    if (!input_.IsConnected()) return;
    // Stopped before the end: what a codec holds back belongs to the output that is kept. The graph
    // stops upstream first, so whatever this flushes still finds the filters below it open.
    if (!ended_.exchange(true) && fedAny_) Drain();
    StopStreaming();
}

}  // namespace tessival::media
