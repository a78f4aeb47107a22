#pragma once

#include <string>

namespace tessival {

// A name's extension with its dot, in lower case (".cue" for "Album.CUE"); empty when it has none.
// File kinds are told by extension whatever case the user's files are named in.
std::string LowerExtension(const std::string& path);

}  // namespace tessival
