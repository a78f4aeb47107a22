#include "joblist/DestNaming.h"

#include <array>

#include "joblist/ConvertItem.h"
#include "joblist/DestTypes.h"
#include "joblist/ItemTypes.h"
#include "joblist/TextField.h"

namespace tessival {
namespace {

struct DestTypeExtensionRule {
    std::string_view type;
    std::string_view extension;
};

// One line per destination type that writes its own kind of file.
constexpr std::array<DestTypeExtensionRule, 3> kDestTypeExtensions = {{
    {kDestWma, "wma"},
    {kDestWav, "wav"},
    {kDestMp3, "mp3"},
}};

// "WAV (IMA ADPCM)" is the WAV type with a compressor.
bool IsOfType(std::string_view destType, std::string_view type) {
    return destType == type || (destType.starts_with(type) && destType.substr(type.size()).starts_with(" ("));
}

constexpr std::size_t kDestNameBytes = sizeof(ConvertItem::destName) - 1;

}  // namespace

std::string DestTypeExtension(std::string_view destType) {
    if (const FileDestType* file = FindFileDestType(destType)) return std::string(file->extension);
    for (const DestTypeExtensionRule& rule : kDestTypeExtensions) {
        if (IsOfType(destType, rule.type)) return std::string(rule.extension);
    }
    std::string extension(destType.substr(0, Utf8CutLength(destType, 3)));
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return extension;
}

std::string RenamedForDestType(std::string_view destName, std::string_view destType) {
    const std::size_t dot = destName.find('.', 1);
    const std::string_view stem = dot == std::string_view::npos ? destName : destName.substr(0, dot);
    return FitDestName(stem, "." + DestTypeExtension(destType));
}

std::string FitDestName(std::string_view stem, std::string_view dotExtension) {
    if (dotExtension.size() >= kDestNameBytes)
        return std::string(dotExtension.substr(0, Utf8CutLength(dotExtension, kDestNameBytes)));
    const std::size_t room = kDestNameBytes - dotExtension.size();
    return std::string(stem.substr(0, Utf8CutLength(stem, room))) + std::string(dotExtension);
}

}  // namespace tessival
