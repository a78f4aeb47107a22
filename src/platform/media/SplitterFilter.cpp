#include "platform/media/SplitterFilter.h"

namespace tessival::media {

SplitterFilter::SplitterFilter(const Guid& clsid, std::string inputName)
    : BaseFilter(clsid), input_(AddPin<InputPin>(std::move(inputName))) {}

HRESULT SplitterFilter::CheckInputType(const BasePin& pin, const MediaType& type) const {
    if (&pin != &input_ || type.majorType != MEDIATYPE_Stream) return VFW_E_TYPE_NOT_ACCEPTED;
    return AcceptsStream(type) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT SplitterFilter::GetMediaTypes(const BasePin& pin, std::vector<MediaType>& types) const {
    if (const MediaType* type = OfferedType(pin)) types.push_back(*type);
    return S_OK;
}

HRESULT SplitterFilter::OnConnected(BasePin& pin) {
    if (&pin != &input_) return S_OK;
    reader_ = input_.Reader();
    if (!reader_) return VFW_E_TYPE_NOT_ACCEPTED;
    ended_ = false;
    position_ = 0;
    const HRESULT hr = OpenStream(*reader_);
    if (FAILED(hr)) {
        CloseStream();
        RetirePins([this](const BasePin& p) { return &p != &input_; });
        outputs_.clear();
        reader_.reset();
    }
    return hr;
}

void SplitterFilter::OnDisconnected(BasePin& pin) {
    if (&pin != &input_) return;
    CloseStream();
    RetirePins([this](const BasePin& p) { return &p != &input_; });
    outputs_.clear();
    reader_.reset();
}

HRESULT SplitterFilter::GetDuration(REFERENCE_TIME& duration) {
    duration = duration_;
    return reader_ ? S_OK : E_UNEXPECTED;
}

HRESULT SplitterFilter::GetCurrentPosition(REFERENCE_TIME& position) {
    position = position_;
    return reader_ ? S_OK : E_UNEXPECTED;
}

OutputPin& SplitterFilter::AddOutput(std::string name, MediaType type) {
    OutputPin& pin = AddPin<OutputPin>(std::move(name));
    outputs_.emplace_back(&pin, std::move(type));
    return pin;
}

const MediaType* SplitterFilter::OfferedType(const BasePin& pin) const {
    for (const auto& [output, type] : outputs_)
        if (output == &pin) return &type;
    return nullptr;
}

HRESULT SplitterFilter::OnStart() {
    if (!reader_ || ended_ || !AnyOutputConnected()) return S_OK;
    thread_.Start([this] { return StreamStep(); });
    return S_OK;
}

void SplitterFilter::OnHalt() { thread_.Stop(); }

HRESULT SplitterFilter::DeliverTo(OutputPin& output, MediaSample& sample) {
    return output.IsConnected() ? output.Deliver(sample) : S_OK;
}

bool SplitterFilter::AnyOutputConnected() const {
    for (const auto& entry : outputs_)
        if (entry.first->IsConnected()) return true;
    return false;
}

bool SplitterFilter::StreamStep() {
    const HRESULT hr = DeliverNext();
    if (hr == S_OK) return true;
    // A downstream filter stopping us meanwhile is not an error of the stream.
    if (FAILED(hr) && thread_.StopRequested()) return false;
    ended_ = true;
    if (FAILED(hr)) {
        ReportError(hr);
        return false;
    }
    EndAllOutputs();
    return false;
}

void SplitterFilter::EndAllOutputs() {
    for (const auto& [output, type] : outputs_) {
        if (!output->IsConnected()) continue;
        const HRESULT hr = output->DeliverEndOfStream();
        if (FAILED(hr)) {
            ReportError(hr);
            return;
        }
    }
}

}  // namespace tessival::media
