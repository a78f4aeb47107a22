#include "joblist/ItemChecks.h"

#include <cstring>

#include "joblist/ItemTypes.h"
#include "joblist/TextField.h"
#include "res/ResourceIds.h"

namespace tessival {

bool IsDestDriveUsable(const std::string& folder, const DriveTypes& drives) {
    if (folder.empty()) return false;
    return !drives.IsCdRom(folder);
}

bool IsDestTypeUnspecified(const ConvertItem& item) {
    return std::memcmp(item.destType, kDestUnspecified.data(), kDestUnspecified.size()) == 0;
}

bool IsItemComplete(const ConvertItem& item, const DriveTypes& drives) {
    return MissingItemParts(item, drives).empty();
}

std::vector<int> MissingItemParts(const ConvertItem& item, const DriveTypes& drives) {
    std::vector<int> missing;
    if (FieldLength(item.destType) < 3 || IsDestTypeUnspecified(item)) missing.push_back(IDS_MISSING_DEST_TYPE);
    if (!HasQuality(item.quality)) missing.push_back(IDS_MISSING_QUALITY);
    if (FieldLength(item.destName) < 1) missing.push_back(IDS_MISSING_DEST_NAME);
    if (FieldLength(item.destPath) < 3)
        missing.push_back(IDS_MISSING_DEST_PATH);
    else if (!IsDestDriveUsable(ReadField(item.destPath), drives))
        missing.push_back(IDS_MISSING_WRITABLE_DRIVE);
    return missing;
}

}  // namespace tessival
