#include "platform/media/IBaseFilter.h"

namespace tessival::media {

std::vector<std::shared_ptr<IPin>> PinsOf(IBaseFilter& filter) {
    std::shared_ptr<IEnumPins> pins;
    if (FAILED(filter.EnumPins(pins)) || !pins) return {};
    return pins->All();
}

std::vector<std::shared_ptr<IPin>> PinsOf(IBaseFilter& filter, PIN_DIRECTION direction) {
    std::vector<std::shared_ptr<IPin>> matching;
    for (auto& pin : PinsOf(filter)) {
        PIN_DIRECTION pinDirection;
        if (SUCCEEDED(pin->QueryDirection(pinDirection)) && pinDirection == direction) matching.push_back(pin);
    }
    return matching;
}

}  // namespace tessival::media
