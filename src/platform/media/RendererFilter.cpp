#include "platform/media/RendererFilter.h"

namespace tessival::media {

RendererFilter::RendererFilter(const Guid& clsid, std::string inputName)
    : BaseFilter(clsid), input_(AddPin<InputPin>(std::move(inputName))) {}

HRESULT RendererFilter::CheckInputType(const BasePin& pin, const MediaType& type) const {
    return &pin == &input_ ? CheckInput(type) : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT RendererFilter::Receive(InputPin&, MediaSample& sample) {
    if (State() == State_Stopped || ended_) return VFW_E_WRONG_STATE;
    return Render(sample);
}

HRESULT RendererFilter::EndOfStream(InputPin&) {
    if (State() == State_Stopped || ended_) return VFW_E_WRONG_STATE;
    ended_ = true;
    const HRESULT hr = Finish();
    if (FAILED(hr)) return hr;
    NotifyEvent(EC_COMPLETE, S_OK);
    return S_OK;
}

HRESULT RendererFilter::OnPrepare() {
    ended_ = false;
    return S_OK;
}

}  // namespace tessival::media
