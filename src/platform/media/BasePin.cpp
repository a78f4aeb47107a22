#include "platform/media/BasePin.h"

#include "platform/media/BaseFilter.h"

namespace tessival::media {

BasePin::BasePin(BaseFilter& owner, std::string name, PIN_DIRECTION direction)
    : owner_(owner), name_(std::move(name)), direction_(direction) {}

HRESULT BasePin::Disconnect() {
    if (owner_.State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (!IsConnected()) return S_FALSE;
    ClearConnection();
    owner_.OnDisconnected(*this);
    return S_OK;
}

HRESULT BasePin::ConnectedTo(std::shared_ptr<IPin>& peer) const {
    std::lock_guard lock(connectionMutex_);
    peer = peer_.lock();
    return peer ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT BasePin::ConnectionMediaType(MediaType& type) const {
    std::lock_guard lock(connectionMutex_);
    if (peer_.expired()) {
        type = MediaType{};
        return VFW_E_NOT_CONNECTED;
    }
    type = type_;
    return S_OK;
}

HRESULT BasePin::QueryPinInfo(PIN_INFO& info) const {
    info.pFilter = owner_.SharedFilter();
    info.dir = direction_;
    info.achName = name_;
    return S_OK;
}

HRESULT BasePin::QueryDirection(PIN_DIRECTION& direction) const {
    direction = direction_;
    return S_OK;
}

HRESULT BasePin::QueryAccept(const MediaType& type) const {
    const HRESULT hr = direction_ == PINDIR_INPUT ? owner_.CheckInputType(*this, type)
                                                   : owner_.CheckOutputType(*this, type);
    return hr == S_OK ? S_OK : S_FALSE;
}

HRESULT BasePin::EnumMediaTypes(std::vector<MediaType>& types) const {
    types.clear();
    return owner_.GetMediaTypes(*this, types);
}

bool BasePin::IsConnected() const {
    std::lock_guard lock(connectionMutex_);
    return !peer_.expired();
}

std::shared_ptr<IPin> BasePin::Self() const {
    return std::shared_ptr<IPin>(owner_.SharedFilter(), const_cast<BasePin*>(this));
}

HRESULT BasePin::SetConnection(const std::shared_ptr<IPin>& peer, const MediaType& type) {
    {
        std::lock_guard lock(connectionMutex_);
        peer_ = peer;
        type_ = type;
    }
    const HRESULT hr = owner_.OnConnected(*this);
    if (FAILED(hr)) ClearConnection();
    return hr;
}

void BasePin::ClearConnection() {
    std::lock_guard lock(connectionMutex_);
    peer_.reset();
    type_ = MediaType{};
}

}  // namespace tessival::media
