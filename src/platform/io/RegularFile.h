#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/io/UniqueFd.h"

namespace tessival {

// Files the program reads (sources, lists, cue and toc sheets) are only ever regular files. The
// open does not wait, so a FIFO without a writer cannot hold it for good, and the type is checked
// on what was opened, not on the name, so nothing can be swapped in between.

// The file open for reading, or an invalid descriptor with `error` set: the open's errno, or
// EINVAL for a FIFO, socket, device node or folder.
UniqueFd OpenRegularFile(const std::string& path, int& error);

// The whole file when it is a regular file of at most maxBytes; nothing otherwise (EFBIG when it
// is longer).
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes, int& error);

// Whether a name exists and is not a regular file (looked at without opening it).
bool IsSpecialFile(const std::string& path);

}  // namespace tessival
