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

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::span<const FileDestType> FileDestTypes() { return kFileDestTypes; }

const FileDestType* FindFileDestType(std::string_view destType) {
    if (destType.size() < 3) return nullptr;
    for (const FileDestType& file : kFileDestTypes)
        if (destType.compare(0, 3, file.type.substr(0, 3)) == 0) return &file;
    return nullptr;
}

std::string DestExtensionFor(std::string_view destType) {
    if (const FileDestType* file = FindFileDestType(destType)) return std::string(file->extension);
    std::string extension(destType.substr(0, 3));
    for (char& c : extension) c = LowerAscii(c);
    return extension;
}

}  // namespace tessival
