#include "engine/FileTypeFilters.h"

#include <array>

#include "joblist/FileDestTypes.h"

namespace tessival {
namespace {

constexpr std::array<FileTypeFilters, 5> kFileTypeFilters = {{
    {"LAME MP3", "LAME MP3 Encoder", "MP3 File Dest"},
    {"FLAC", "FLAC Encoder", "FLAC File Dest"},
    {"Ogg Vorbis", "Vorbis Encoder", "Ogg File Dest"},
    {"Opus", "Opus Encoder", "Ogg File Dest"},
    {"M4A AAC", "AAC Encoder", "M4A File Dest"},
}};

}  // namespace

const FileTypeFilters* FindFileTypeFilters(std::string_view destType) {
    const FileDestType* file = FindFileDestType(destType);
    if (!file) return nullptr;
    for (const FileTypeFilters& filters : kFileTypeFilters)
        if (filters.type == file->type) return &filters;
    return nullptr;
}

}  // namespace tessival
