#pragma once

#include <string>
#include <vector>

#include "platform/devices/CdDrives.h"
#include "platform/shell/Shell.h"

namespace tessival {

// The file search of the CD-ROM scan, shared by the shells that search real drives.

// The drives the scan walks: a drive's mount point when its disc is mounted, else its device
// node (or disc image).
std::vector<std::string> CdRomDriveNames(const CdDrives& drives);

// Regular files of `folder` whose names end in the extension of a "*.ext" pattern, both
// matched case-insensitively (a disc's "MPEGAV" folder is found as "mpegav"), sorted by name.
// On a drive (a device node, a disc image, or an optical drive's mount point) "*.cda" lists
// the audio tracks of its disc as "Track01.cda", ... instead.
std::vector<DiscEntry> FindDiscFiles(const CdDrives& drives, const std::string& folder, const std::string& pattern);

}  // namespace tessival
