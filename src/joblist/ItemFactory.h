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

// The path of a file chosen with others: the folder, a "/" unless it ends with one, the name.
std::string MultiFilePath(const std::string& folder, const std::string& name);

// Files chosen together in one folder: each name is split at its first ".".
std::vector<ConvertItem> MakeMultiFileItems(const std::string& folder, const std::vector<std::string>& names);

// Why a file cannot become an item: the text that says its path or name does not fit the field
// that would hold it, or "" when both fit. The add commands refuse such a file rather than cut it,
// as a cut path can name another file.
std::string FileTooLongText(const std::string& fullPath);

// A file found on a disc (audio CD track, Video CD or DVD file): no dest path yet.
ConvertItem MakeDiscItem(const std::string& fullPath, const std::string& name, const std::string& extension);

// A capture device and one of its input lines.
ConvertItem MakeCaptureItem(const std::string& deviceName, int deviceIndex, int inputIndex);

}  // namespace tessival
