#include "platform/media/OutputPin.h"

#include "platform/media/BaseFilter.h"
#include "platform/media/QueryInterface.h"

namespace tessival::media {
namespace {

// A type complete enough to be used as it is, rather than as a pattern over the pin's types.
bool IsCompleteType(const MediaType& type) {
    return !type.majorType.IsNull() && !type.subtype.IsNull() && (!type.formatType.IsNull() || type.format.empty());
}

}  // namespace

OutputPin::OutputPin(BaseFilter& owner, std::string name) : BasePin(owner, std::move(name), PINDIR_OUTPUT) {}

HRESULT OutputPin::Connect(const std::shared_ptr<IPin>& receivePin, const MediaType* type) {
    if (!receivePin) return E_POINTER;
    if (IsConnected()) return VFW_E_ALREADY_CONNECTED;
    if (Owner().State() != State_Stopped) return VFW_E_NOT_STOPPED;
    PIN_DIRECTION direction;
    if (FAILED(receivePin->QueryDirection(direction)) || direction != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
    std::shared_ptr<IPin> receiverPeer;
    if (SUCCEEDED(receivePin->ConnectedTo(receiverPeer))) return VFW_E_ALREADY_CONNECTED;

    // A complete type is that type and no other.
    if (type && IsCompleteType(*type)) {
        const HRESULT hr = TryType(receivePin, *type);
        return SUCCEEDED(hr) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    // The receiver's own wishes first, as they may spare it a conversion; then ours.
    std::vector<MediaType> candidates, ours;
    receivePin->EnumMediaTypes(candidates);
    EnumMediaTypes(ours);
    candidates.insert(candidates.end(), ours.begin(), ours.end());
    for (const MediaType& candidate : candidates) {
        if (type && !candidate.Matches(*type)) continue;
        if (SUCCEEDED(TryType(receivePin, candidate))) return S_OK;
    }
    return type ? VFW_E_TYPE_NOT_ACCEPTED : VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT OutputPin::TryType(const std::shared_ptr<IPin>& receivePin, const MediaType& type) {
    if (Owner().CheckOutputType(*this, type) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    HRESULT hr = receivePin->ReceiveConnection(Self(), type);
    if (FAILED(hr)) return hr;
    hr = SetConnection(receivePin, type);
    if (FAILED(hr)) {
        receivePin->Disconnect();
        return hr;
    }
    if (auto input = QueryInterface<IMemInputPin>(receivePin)) peerInput_ = input;
    return S_OK;
}

HRESULT OutputPin::ReceiveConnection(const std::shared_ptr<IPin>&, const MediaType&) {
    return VFW_E_INVALID_DIRECTION;
}

HRESULT OutputPin::Disconnect() {
    const HRESULT hr = BasePin::Disconnect();
    if (hr == S_OK) peerInput_.reset();
    return hr;
}

HRESULT OutputPin::EndOfStream() { return E_UNEXPECTED; }

HRESULT OutputPin::Deliver(MediaSample& sample) {
    const auto input = peerInput_.lock();
    return input ? input->Receive(sample) : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPin::DeliverEndOfStream() {
    std::shared_ptr<IPin> peer;
    if (FAILED(ConnectedTo(peer))) return VFW_E_NOT_CONNECTED;
    return peer->EndOfStream();
}

}  // namespace tessival::media
