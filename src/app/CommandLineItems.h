#pragma once

#include <string>
#include <vector>

#include "joblist/ConvertItem.h"

namespace tessival {

// The items for files named on the command line (the desktop's "Open with", `tessival FILE...`),
// each built as "From File" builds a file chosen alone. Relative names are taken from
// `startupDirectory`. Names that are not regular files, or too long for an item, make no item; `refused`
// gets the text saying why, one for each.
std::vector<ConvertItem> CommandLineItems(const std::vector<std::string>& arguments,
                                          const std::string& startupDirectory, std::vector<std::string>& refused);

}  // namespace tessival
