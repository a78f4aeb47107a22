#pragma once

#include "joblist/ConvertItem.h"

namespace tessival {

// Where an item's audio comes from. Only a file source has a file of its own to read, check and
// take tags from.
enum class SourceKind { File, CdTrack, Capture };

// By the first three letters of the source type: "CDA" a CD track, "CAP" a capture device.
SourceKind SourceKindOf(const ConvertItem& item);

}  // namespace tessival
