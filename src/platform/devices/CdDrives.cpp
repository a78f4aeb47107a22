#include "platform/devices/CdDrives.h"

#include "platform/devices/CdDisc.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <mntent.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cdio/cdio.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>

namespace tessival {
namespace {

std::map<std::string, std::string> MountPointsByDevice(const std::string& mountsPath) {
    std::map<std::string, std::string> mounts;
    FILE* table = ::setmntent(mountsPath.c_str(), "r");
    if (!table) return mounts;
    mntent entry {};
    char buffer[4096];
    while (::getmntent_r(table, &entry, buffer, sizeof buffer)) {
        std::error_code error;
        // /dev/cdrom and the like are links to the node libcdio lists.
        const auto device = std::filesystem::weakly_canonical(entry.mnt_fsname, error);
        mounts[error ? std::string(entry.mnt_fsname) : device.string()] = entry.mnt_dir;
    }
    ::endmntent(table);
    return mounts;
}

bool HoldsDisc(const std::string& source) {
    struct stat info {};
    if (::stat(source.c_str(), &info) != 0) return false;
    if (!S_ISBLK(info.st_mode) && !S_ISCHR(info.st_mode)) return S_ISREG(info.st_mode);
    const int fd = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const int status = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    ::close(fd);
    return status == CDS_DISC_OK;
}

std::vector<std::string> LibcdioDevices() {
    SilenceLibcdio();
    std::vector<std::string> devices;
    if (char** list = cdio_get_devices(DRIVER_DEVICE)) {
        // /dev/cdrom and /dev/sr0 are one drive.
        for (char** device = list; *device; ++device) {
            std::error_code error;
            const auto node = std::filesystem::canonical(*device, error);
            devices.push_back(error ? std::string(*device) : node.string());
        }
        cdio_free_device_list(list);
    }
    std::sort(devices.begin(), devices.end());
    devices.erase(std::unique(devices.begin(), devices.end()), devices.end());
    return devices;
}

}  // namespace

bool CdDrives::Find(const std::string& name, OpticalDrive& drive) const {
    for (const OpticalDrive& candidate : List()) {
        if (candidate.device == name || (!candidate.mountPoint.empty() && candidate.mountPoint == name)) {
            drive = candidate;
            return true;
        }
    }
    return false;
}

SourceCdDrives::SourceCdDrives(SourceList sources, std::string mountsPath)
    : sources_(std::move(sources)), mountsPath_(std::move(mountsPath)) {}

std::vector<OpticalDrive> SourceCdDrives::List() const {
    const auto mounts = MountPointsByDevice(mountsPath_);
    std::vector<OpticalDrive> drives;
    for (const std::string& source : sources_()) {
        OpticalDrive drive;
        drive.device = source;
        drive.hasDisc = HoldsDisc(source);
        std::error_code error;
        const auto canonical = std::filesystem::weakly_canonical(source, error);
        const auto mount = mounts.find(error ? source : canonical.string());
        if (mount != mounts.end()) drive.mountPoint = mount->second;
        drives.push_back(std::move(drive));
    }
    return drives;
}

const CdDrives& SystemCdDrives() {
    static const SourceCdDrives system(LibcdioDevices);
    return system;
}

std::unique_ptr<CdDrives> ListedCdDrives(std::vector<std::string> sources, std::string mountsPath) {
    // Track paths go into lists that outlive the working folder a relative name was given in.
    for (std::string& source : sources) {
        std::error_code error;
        if (!source.empty() && source.front() != '/') source = std::filesystem::absolute(source, error).string();
    }
    return std::make_unique<SourceCdDrives>([sources = std::move(sources)] { return sources; }, std::move(mountsPath));
}

}  // namespace tessival
