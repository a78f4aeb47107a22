#include "engine/CaptureDevices.h"

namespace tessival {

std::vector<std::string> InputLinesOf(GraphToolkit& toolkit, int device) {
    return toolkit.PinNamesOf(toolkit.AddAudioInputDevice(device), media::PINDIR_INPUT);
}

std::vector<CaptureDeviceLines> ListCaptureDevices(GraphToolkit& toolkit) {
    std::vector<CaptureDeviceLines> devices;
    for (std::string& name : toolkit.AudioInputDeviceNames()) devices.push_back({std::move(name), {}});
    for (std::size_t i = 0; i < devices.size(); ++i) devices[i].lines = InputLinesOf(toolkit, static_cast<int>(i));
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
