#pragma once

#include "platform/media/InputPin.h"
#include "platform/media/OptionalInterfaces.h"

namespace tessival::media {

class CaptureSourceFilter;

// One input line of a capture device. It takes no connections; its mixer switches the device's
// active line. The platform has one active line per device, so enabling a line is what selects
// it and disabling one changes nothing.
class CaptureLinePin : public InputPin, public IAMAudioInputMixer {
public:
    CaptureLinePin(BaseFilter& owner, CaptureSourceFilter& device, std::string name, int line);

    HRESULT put_Enable(bool enable) override;
    HRESULT get_Enable(bool& enable) override;

private:
    CaptureSourceFilter& device_;
    int line_;
};

}  // namespace tessival::media
