#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/media/IPin.h"

namespace tessival::media {

class BaseFilter;

// The connection logic shared by input and output pins. A pin belongs to its BaseFilter for the
// filter's whole life; type checks and connection events go to the filter's hooks.
class BasePin : public IPin {
public:
    BasePin(BaseFilter& owner, std::string name, PIN_DIRECTION direction);

    HRESULT Disconnect() override;
    HRESULT ConnectedTo(std::shared_ptr<IPin>& peer) const override;
    HRESULT ConnectionMediaType(MediaType& type) const override;
    HRESULT QueryPinInfo(PIN_INFO& info) const override;
    HRESULT QueryDirection(PIN_DIRECTION& direction) const override;
    HRESULT QueryAccept(const MediaType& type) const override;
    HRESULT EnumMediaTypes(std::vector<MediaType>& types) const override;

    const std::string& Name() const { return name_; }
    PIN_DIRECTION Direction() const { return direction_; }
    BaseFilter& Owner() const { return owner_; }
    bool IsConnected() const;
    // Valid while connected.
    const MediaType& CurrentType() const { return type_; }
    // This pin as a shared IPin that keeps the owner alive.
    std::shared_ptr<IPin> Self() const;

protected:
    HRESULT SetConnection(const std::shared_ptr<IPin>& peer, const MediaType& type);
    void ClearConnection();

private:
    BaseFilter& owner_;
    std::string name_;
    PIN_DIRECTION direction_;
    // The graph may be stopped from another thread while connections are being made.
    mutable std::mutex connectionMutex_;
    std::weak_ptr<IPin> peer_;
    MediaType type_;
};

}  // namespace tessival::media
