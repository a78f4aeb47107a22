#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessival {

// One optical drive: its device node (or, standing in for a drive, a disc image file), whether
// it holds a disc, and where the disc's data session is mounted ("" when it is not).
struct OpticalDrive {
    std::string device;
    bool hasDisc = false;
    std::string mountPoint;
};

// The optical drives the CD-ROM scan walks, in a stable order. The machine's drives come from
// SystemCdDrives(); a given list of device nodes or disc images from ListedCdDrives().
class CdDrives {
public:
    virtual ~CdDrives() = default;
    virtual std::vector<OpticalDrive> List() const = 0;
    // The drive whose device or mount point is `name`, if any.
    bool Find(const std::string& name, OpticalDrive& drive) const;
};

// Drives from a list of sources, described afresh on every call (discs come and go): a device
// node holds a disc unless the drive says it is empty; a disc image "holds" one when it exists.
// Mount points come from a table in /proc/self/mounts format.
class SourceCdDrives : public CdDrives {
public:
    using SourceList = std::function<std::vector<std::string>()>;
    explicit SourceCdDrives(SourceList sources, std::string mountsPath = "/proc/self/mounts");

    std::vector<OpticalDrive> List() const override;

private:
    SourceList sources_;
    std::string mountsPath_;
};

// The machine's optical drives as libcdio finds them, sorted by device node.
const CdDrives& SystemCdDrives();
// The given device nodes or disc images as drives, in the given order.
std::unique_ptr<CdDrives> ListedCdDrives(std::vector<std::string> sources,
                                         std::string mountsPath = "/proc/self/mounts");

}  // namespace tessival
