#pragma once

#include "joblist/ConvertItem.h"

namespace tessival {

// An item whose destination file exists and is not older than its source file: converting it again
// would write the same file. Only items with a file source can be up to date.
bool IsUpToDate(const ConvertItem& item);

// Dates a stopped item's partial destination file just before its source, so that a later run
// that skips up-to-date items converts it again. Does nothing for items without a file source or
// without a destination file.
void MarkUnfinished(const ConvertItem& item);

}  // namespace tessival
