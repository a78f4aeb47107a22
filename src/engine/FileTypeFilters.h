#pragma once

#include <string_view>

namespace tessival {

// The encoder and the sink of a destination type that writes a file of its own container.
struct FileTypeFilters {
    std::string_view type;
    const char* encoder;  // friendly name in the file encoder category
    const char* sink;     // friendly name of the muxer that goes before "File Writer"
};

// By the first three letters of destType, as types are compared; null for the WAVE types.
const FileTypeFilters* FindFileTypeFilters(std::string_view destType);

}  // namespace tessival
