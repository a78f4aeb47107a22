#pragma once

#include <string>
#include <vector>

#include "joblist/ConvertItem.h"

namespace tessival {

// New records as the add commands build them, typed by DetectSourceType. Texts longer than their
// field are cut at the field's end.

// One file chosen alone: the extension is the text after the last "." of the name, the dest name
// the name without it, the dest path the file's folder ending in "/".
ConvertItem MakeSingleFileItem(const std::string& fullPath);

// Files chosen together in one folder: each name is split at its first ".".
std::vector<ConvertItem> MakeMultiFileItems(const std::string& folder, const std::vector<std::string>& names);

// A file found on a disc (audio CD track, Video CD or DVD file): no dest path yet.
ConvertItem MakeDiscItem(const std::string& fullPath, const std::string& name, const std::string& extension);

// A capture device and one of its input lines.
ConvertItem MakeCaptureItem(const std::string& deviceName, int deviceIndex, int inputIndex);

}  // namespace tessival
