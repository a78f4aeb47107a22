#include "joblist/FileDestTypes.h"

#include <array>
#include <string>

namespace tessival {
namespace {

constexpr std::array<FileDestType, 5> kFileDestTypes = {{
    {"LAME MP3", "mp3"},
    {"FLAC", "flac"},
    {"Ogg Vorbis", "ogg"},
    {"Opus", "opus"},
    {"M4A AAC", "m4a"},
}};

}  // namespace

std::span<const FileDestType> FileDestTypes() { return kFileDestTypes; }

const FileDestType* FindFileDestType(std::string_view destType) {
    if (destType.size() < 3) return nullptr;
    for (const FileDestType& file : kFileDestTypes)
        if (destType.compare(0, 3, file.type.substr(0, 3)) == 0) return &file;
    return nullptr;
}

}  // namespace tessival
