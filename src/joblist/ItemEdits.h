#pragma once

#include "joblist/ConvertItem.h"

namespace tessival {

// "Apply to follow items" for one item below the source: the destination folder, type and quality
// are copied, and so is the name's extension (from the first "." after the first character) when
// the source's name has one; the target keeps its own stem, cut to fit before the extension.
void ApplySettingsOf(const ConvertItem& source, ConvertItem& target);

}  // namespace tessival
