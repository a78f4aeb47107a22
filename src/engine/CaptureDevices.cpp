#include "engine/CaptureDevices.h"

namespace tessival {

std::vector<std::string> InputLinesOf(GraphToolkit& toolkit, int device) {
    const auto filter = toolkit.AddAudioInputDevice(device);
    const int count = toolkit.ListPins(filter, media::PINDIR_INPUT);
    std::vector<std::string> lines;
    // A pin counted without a name still takes its place, so row indexes stay pin indexes.
    for (int i = 0; i < count; ++i) lines.push_back(toolkit.GetPinName(i));
    return lines;
}

std::vector<CaptureDeviceLines> ListCaptureDevices(GraphToolkit& toolkit) {
    const int count = toolkit.ListAudioInputDevices();
    std::vector<CaptureDeviceLines> devices;
    for (int i = 0; i < count; ++i) devices.push_back({toolkit.GetDeviceName(i), {}});
    for (int i = 0; i < count; ++i) devices[static_cast<std::size_t>(i)].lines = InputLinesOf(toolkit, i);
    return devices;
}

int FindCaptureDevice(GraphToolkit& toolkit, const std::string& name, std::size_t fieldCapacity, int hint) {
    const int count = toolkit.ListAudioInputDevices();
    const bool cut = name.size() + 1 >= fieldCapacity;
    const auto bears = [&](int index) {
        const std::string device = toolkit.GetDeviceName(index);
        return device == name || (cut && !name.empty() && device.rfind(name, 0) == 0);
    };
    if (hint >= 0 && hint < count && bears(hint)) return hint;
    for (int i = 0; i < count; ++i)
        if (bears(i)) return i;
    return -1;
}

}  // namespace tessival
