#pragma once

#include "joblist/ConvertItem.h"

namespace tessival {

// Whether a record read from a file reads as an item: its source path and type fields end within
// their fields, the path holds no control characters, and the source type is empty or one of the
// known types. Any other file read as a list (a song, a picture) fails this at its first record.
bool ReadsAsListRecord(const ConvertItem& record);

}  // namespace tessival
