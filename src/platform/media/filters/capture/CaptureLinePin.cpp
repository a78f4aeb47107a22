#include "platform/media/filters/capture/CaptureLinePin.h"

#include "platform/media/filters/capture/CaptureSourceFilter.h"

namespace tessival::media {

CaptureLinePin::CaptureLinePin(BaseFilter& owner, CaptureSourceFilter& device, std::string name, int line)
    : InputPin(owner, std::move(name)), device_(device), line_(line) {}

HRESULT CaptureLinePin::put_Enable(bool enable) {
    if (!enable) return S_OK;
    return device_.SelectLine(line_);
}

HRESULT CaptureLinePin::get_Enable(bool& enable) {
    enable = device_.IsLineActive(line_);
    return S_OK;
}

}  // namespace tessival::media
