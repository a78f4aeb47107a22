#include "platform/media/InputPin.h"

#include "platform/media/BaseFilter.h"
#include "platform/media/QueryInterface.h"

namespace tessival::media {

InputPin::InputPin(BaseFilter& owner, std::string name) : BasePin(owner, std::move(name), PINDIR_INPUT) {}

HRESULT InputPin::Connect(const std::shared_ptr<IPin>&, const MediaType*) { return VFW_E_INVALID_DIRECTION; }

HRESULT InputPin::ReceiveConnection(const std::shared_ptr<IPin>& connector, const MediaType& type) {
    if (!connector) return E_POINTER;
    if (IsConnected()) return VFW_E_ALREADY_CONNECTED;
    if (Owner().State() != State_Stopped) return VFW_E_NOT_STOPPED;
    PIN_DIRECTION direction;
    if (FAILED(connector->QueryDirection(direction)) || direction != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
    if (Owner().CheckInputType(*this, type) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    return SetConnection(connector, type);
}

HRESULT InputPin::EndOfStream() { return Owner().EndOfStream(*this); }

HRESULT InputPin::Receive(MediaSample& sample) { return Owner().Receive(*this, sample); }

std::shared_ptr<IAsyncReader> InputPin::Reader() const {
    std::shared_ptr<IPin> peer;
    ConnectedTo(peer);
    return QueryInterface<IAsyncReader>(peer);
}

}  // namespace tessival::media
