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

}  // namespace tessival
