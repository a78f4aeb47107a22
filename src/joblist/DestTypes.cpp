#include "joblist/DestTypes.h"

#include <array>
#include <cstring>

#include "joblist/DestNaming.h"
#include "joblist/ItemTypes.h"
#include "joblist/TextField.h"

namespace tessival {
namespace {

constexpr std::array<FileDestType, 5> kFileDestTypes = {{
    {"LAME MP3", "mp3", "LAME MP3 Encoder", "MP3 File Dest"},
    {"FLAC", "flac", "FLAC Encoder", "FLAC File Dest"},
    {"Ogg Vorbis", "ogg", "Vorbis Encoder", "Ogg File Dest"},
    {"Opus", "opus", "Opus Encoder", "Ogg File Dest"},
    {"M4A AAC", "m4a", "AAC Encoder", "M4A File Dest"},
}};

constexpr std::array<std::string_view, 3> kBuiltInDestTypes = {kDestWma, kDestWav, kDestMp3};

}  // namespace

std::span<const FileDestType> FileDestTypes() { return kFileDestTypes; }

const FileDestType* FindFileDestType(std::string_view destType) {
    if (destType.size() < 3) return nullptr;
    for (const FileDestType& file : kFileDestTypes)
        if (destType.compare(0, 3, file.type.substr(0, 3)) == 0) return &file;
    return nullptr;
}

std::span<const std::string_view> BuiltInDestTypes() { return kBuiltInDestTypes; }

std::string CompressorDestType(std::string_view compressorName) {
    return "WAV (" + std::string(compressorName) + ")";
}

DestTypeList MakeDestTypeList(const std::vector<std::string>& compressorNames) {
    DestTypeList list;
    for (std::string_view type : kBuiltInDestTypes) list.builtIn.emplace_back(type);
    for (const std::string& name : compressorNames) list.compressors.push_back(CompressorDestType(name));
    for (const FileDestType& file : kFileDestTypes) list.files.emplace_back(file.type);
    return list;
}

std::optional<std::string> EncoderNameOfType(std::string_view destType) {
    const std::size_t open = destType.find('(');
    if (open == std::string_view::npos) return std::nullopt;
    std::string_view name = destType.substr(open + 1);
    // A type cut short by its field has lost its ")": the name keeps every character it has.
    if (name.ends_with(')')) name.remove_suffix(1);
    return std::string(name);
}

void SetDestType(ConvertItem& item, std::string_view destType) {
    std::memset(item.destType, 0, sizeof item.destType);
    WriteField(item.destType, destType);
    WriteField(item.destName, RenamedForDestType(FieldView(item.destName), destType));
    item.quality = QualityInfo{};
}

}  // namespace tessival
