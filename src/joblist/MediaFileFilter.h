#pragma once

#include <string>

namespace tessival {

// The file dialog's filter for adding media files: the original filter text, its first entry
// ("All supported media files") widened by the general splitter's extensions, and one entry of
// their own, named addedEntryName, right after it. A text of another shape is left as it is.
std::string ExtendedMediaFilter(const std::string& original, const std::string& addedEntryName);

}  // namespace tessival
