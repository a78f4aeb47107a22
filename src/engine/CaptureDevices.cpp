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

}  // namespace tessival
