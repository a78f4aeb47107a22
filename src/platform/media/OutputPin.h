#pragma once

#include "platform/media/BasePin.h"

namespace tessival::media {

// An output pin: negotiates a type with an input pin and pushes samples to it. Deliver runs on
// the filter's (or its upstream's) streaming thread.
class OutputPin : public BasePin {
public:
    OutputPin(BaseFilter& owner, std::string name);

    HRESULT Connect(const std::shared_ptr<IPin>& receivePin, const MediaType* type) override;
    HRESULT ReceiveConnection(const std::shared_ptr<IPin>& connector, const MediaType& type) override;
    HRESULT Disconnect() override;
    HRESULT EndOfStream() override;

    // Hands the sample to the peer's Receive on the calling streaming thread and returns its
    // answer. The sample stays the caller's, its data possibly taken by the peer.
    // VFW_E_NOT_CONNECTED when unconnected or the peer takes no samples.
    HRESULT Deliver(MediaSample& sample);
    // On the same streaming thread, after the last Deliver.
    HRESULT DeliverEndOfStream();

private:
    HRESULT TryType(const std::shared_ptr<IPin>& receivePin, const MediaType& type);

    std::weak_ptr<IMemInputPin> peerInput_;
};

}  // namespace tessival::media
