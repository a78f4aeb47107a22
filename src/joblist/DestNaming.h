#pragma once

#include <string>
#include <string_view>

#include "joblist/ConvertItem.h"
#include "joblist/NamePattern.h"

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

// The dest name with " (number)" before its extension dotExtension (or at its end when it does not
// end with it), the stem cut so that the number always fits: "song.flac" -> "song (2).flac".
std::string NumberedDestName(std::string_view destName, std::string_view dotExtension, int number);

// Writes root, the named folders and the name with dotExtension into the item's dest path and
// dest name. Each folder is cut, at a character boundary, to the room the dest path has left, the
// name's stem to the room the dest name has. False, leaving the item as it was, when a folder
// finds no room at all.
bool WriteNamedDestination(ConvertItem& item, std::string_view root, const NamedPath& path,
                           std::string_view dotExtension);

}  // namespace tessival
