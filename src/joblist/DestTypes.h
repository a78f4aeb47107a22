#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "joblist/ConvertItem.h"

namespace tessival {

// Destination types that write a real file of their own container (with tags), listed after the
// types that write a WAVE file. None of their texts holds "(" or begins with the three letters of
// another type, so every type keeps its meaning when only those three letters are compared.
struct FileDestType {
    std::string_view type;       // "FLAC", as the type list shows it
    std::string_view extension;  // "flac", without the dot
    const char* encoder;         // friendly name in the file encoder category
    const char* sink;            // friendly name of the muxer that goes before "File Writer"
};

std::span<const FileDestType> FileDestTypes();

// The file type whose first three letters destType begins with; none for WAVE types.
const FileDestType* FindFileDestType(std::string_view destType);

// The built-in destination types, in the order they are listed.
std::span<const std::string_view> BuiltInDestTypes();

// "WAV (" + compressor name + ")".
std::string CompressorDestType(std::string_view compressorName);

// The destination types a user can pick, group by group in the order they are listed: the
// built-in ones, one WAVE type per installed compressor, then the file types.
struct DestTypeList {
    std::vector<std::string> builtIn;
    std::vector<std::string> compressors;
    std::vector<std::string> files;
};
DestTypeList MakeDestTypeList(const std::vector<std::string>& compressorNames);

// The encoder a "WAV (name)" type names: the text after its first "(", less one closing ")".
// None when the type has no "(": its encoder is the one installed for the built-in or file type.
std::optional<std::string> EncoderNameOfType(std::string_view destType);

// Gives the item a new destination type, as picking it from the list does: the field is cleared
// before it is written, the dest name takes the type's extension and the chosen quality is
// forgotten, since it belonged to the old type's encoder.
void SetDestType(ConvertItem& item, std::string_view destType);

}  // namespace tessival
