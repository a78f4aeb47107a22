#pragma once

#include "platform/media/BasePin.h"

namespace tessival::media {

// An input pin: takes connections its filter accepts and passes samples and end of stream to
// the filter (on the upstream streaming thread).
class InputPin : public BasePin, public IMemInputPin {
public:
    InputPin(BaseFilter& owner, std::string name);

    HRESULT Connect(const std::shared_ptr<IPin>& receivePin, const MediaType* type) override;
    HRESULT ReceiveConnection(const std::shared_ptr<IPin>& connector, const MediaType& type) override;
    HRESULT EndOfStream() override;
    HRESULT Receive(MediaSample& sample) override;

    // The connected upstream pin's byte-stream reader, or null (pull-model parsers use it).
    std::shared_ptr<IAsyncReader> Reader() const;
};

}  // namespace tessival::media
