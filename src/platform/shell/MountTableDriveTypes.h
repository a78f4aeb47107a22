#pragma once

#include <string>
#include <vector>

#include "platform/shell/DriveTypes.h"

namespace tessival {

// Drive types read from a mount table in /proc/<pid>/mountinfo format. A path is on a CD-ROM drive
// when the mount that holds it is an iso9660 or udf file system or comes from an optical device,
// or when the path is (or lies under) an optical device node itself.
class MountTableDriveTypes : public DriveTypes {
public:
    struct Mount {
        std::string mountPoint;
        std::string fsType;
        std::string source;
        unsigned major = 0;
    };

    explicit MountTableDriveTypes(std::string mountInfoPath = "/proc/self/mountinfo");

    bool IsCdRom(const std::string& path) const override;

    // The mount whose mount point holds the path (the longest matching one), or null.
    // The table is read afresh on every call, since discs come and go.
    static const Mount* FindMount(const std::vector<Mount>& mounts, const std::string& absolutePath);
    static std::vector<Mount> ParseMountInfo(const std::string& text);
    static bool IsOpticalDevice(const std::string& devicePath, unsigned major);

private:
    std::string mountInfoPath_;
};

}  // namespace tessival
