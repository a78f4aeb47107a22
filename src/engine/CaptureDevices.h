#pragma once

#include <string>
#include <vector>

#include "engine/GraphToolkit.h"

namespace tessival {

// The input lines of the index-th audio capture device, as its input pins name them, in the
// order SelectInputLine counts them. The device is added to the toolkit's open graph.
std::vector<std::string> InputLinesOf(GraphToolkit& toolkit, int device);

struct CaptureDeviceLines {
    std::string name;
    std::vector<std::string> lines;
};

// Every audio capture device with its input lines, in the order captureDevice counts them.
std::vector<CaptureDeviceLines> ListCaptureDevices(GraphToolkit& toolkit);

// The index of the capture device an item names: the one at `hint` when it still bears the name,
// else the first that does; -1 when none does. A name that filled its field matches the devices
// whose names begin with it.
int FindCaptureDevice(GraphToolkit& toolkit, const std::string& name, std::size_t fieldCapacity, int hint);

}  // namespace tessival
