#pragma once

#include <string>

#include "joblist/ConvertItem.h"

namespace tessival {

// destPath and destName joined with "/", as they stand.
std::string DestinationFileName(const ConvertItem& item);

// Sources that are files of their own: neither capture devices nor audio CD tracks.
bool HasFileSource(const ConvertItem& item);

// The checks that protect the user's files before any graph is built: a string id, or 0 when the
// item may convert. Reads the file system only; any thread.
int PreflightError(const ConvertItem& item);

}  // namespace tessival
