#pragma once

#include <string>
#include <string_view>

namespace tessival {

// The extension, without its dot, of the files a destination type writes: "wma", "wav" and "mp3"
// for the built-in types and "wav" for every "WAV (compressor)" type. A type the table does not
// know gets its first three characters in lower case.
std::string DestTypeExtension(std::string_view destType);

// The dest name once a destination type is chosen: the name up to its first "." after its first
// character, then "." and the type's extension. A name too long for the field loses the end of its
// stem, never its extension.
std::string RenamedForDestType(std::string_view destName, std::string_view destType);

// stem + dotExtension ("song" + ".mp3"), cut to fit the dest name field by taking bytes from the
// stem only, at a character boundary.
std::string FitDestName(std::string_view stem, std::string_view dotExtension);

}  // namespace tessival
