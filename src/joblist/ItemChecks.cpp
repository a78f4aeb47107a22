#include "joblist/ItemChecks.h"

#include <cstring>

#include "joblist/ItemTypes.h"
#include "joblist/TextField.h"

namespace tessival {

bool IsDestDriveUsable(const std::string& folder, const DriveTypes& drives) {
    if (folder.empty()) return false;
    return !drives.IsCdRom(folder);
}

bool IsDestTypeUnspecified(const ConvertItem& item) {
    return std::memcmp(item.destType, kDestUnspecified.data(), kDestUnspecified.size()) == 0;
}

bool IsItemComplete(const ConvertItem& item, const DriveTypes& drives) {
    if (!HasQuality(item.quality)) return false;
    if (FieldLength(item.destName) < 1) return false;
    if (FieldLength(item.destPath) < 3) return false;
    if (FieldLength(item.destType) < 3) return false;
    if (IsDestTypeUnspecified(item)) return false;
    return IsDestDriveUsable(ReadField(item.destPath), drives);
}

}  // namespace tessival
