#pragma once

#include <string>

#include "joblist/ConvertItem.h"

namespace tessival {

// destPath and destName joined with "/", as they stand.
std::string DestinationFileName(const ConvertItem& item);

// Sources that are files of their own: neither capture devices nor audio CD tracks.
bool HasFileSource(const ConvertItem& item);

// The checks that protect the user's files before any graph is built: a string id, or 0 when the
// item may convert. Reads the file system only; any thread. SourcePreflightError and
// DestinationPreflightError are its two halves, for a caller that acts between them.
int PreflightError(const ConvertItem& item);
int SourcePreflightError(const ConvertItem& item);
int DestinationPreflightError(const ConvertItem& item);

// Creates the item's dest folder and its missing parents; the Status text that names the folder
// and the reason when that fails, else "".
std::string MakeDestinationFolder(const ConvertItem& item);

}  // namespace tessival
