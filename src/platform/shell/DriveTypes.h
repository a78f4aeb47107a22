#pragma once

#include <string>
#include <vector>

namespace tessival {

// Tells what kind of drive a path lies on. The conversion list refuses destinations on CD-ROM
// drives; tests inject their own answers.
class DriveTypes {
public:
    virtual ~DriveTypes() = default;
    // True when the path lies on an optical drive (a data disc or an audio CD's device).
    virtual bool IsCdRom(const std::string& path) const = 0;
};

// The machine's drives as the running system sees them.
const DriveTypes& SystemDriveTypes();

}  // namespace tessival
