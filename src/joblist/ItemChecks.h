#pragma once

#include <string>
#include <vector>

#include "joblist/ConvertItem.h"
#include "platform/shell/DriveTypes.h"

namespace tessival {

// False for an empty path or a path on a CD-ROM drive (the whole folder path is tested).
bool IsDestDriveUsable(const std::string& folder, const DriveTypes& drives = SystemDriveTypes());

// The item has a quality, a dest name, a dest path of at least 3 characters, a chosen dest type and
// a writable kind of drive. The source type takes no part.
bool IsItemComplete(const ConvertItem& item, const DriveTypes& drives = SystemDriveTypes());

// What IsItemComplete finds missing, as string ids of their names ("a quality", ...), in the
// order the properties dialog asks for them; empty for a complete item.
std::vector<int> MissingItemParts(const ConvertItem& item, const DriveTypes& drives = SystemDriveTypes());

// True when destType begins with "UNSPECIFIED".
bool IsDestTypeUnspecified(const ConvertItem& item);

}  // namespace tessival
