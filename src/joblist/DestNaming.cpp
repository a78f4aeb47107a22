#include "joblist/DestNaming.h"

#include <array>

#include "joblist/ConvertItem.h"
#include "joblist/DestTypes.h"
#include "joblist/ItemTypes.h"
#include "joblist/NameCleaning.h"
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
constexpr std::size_t kDestPathBytes = sizeof(ConvertItem::destPath) - 1;

// A component cut short must not end up hidden or end in a dot or space either.
std::string CutComponent(std::string_view component, std::size_t room) {
    return TrimNameComponent(component.substr(0, Utf8CutLength(component, room)));
}

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

std::string NumberedDestName(std::string_view destName, std::string_view dotExtension, int number) {
    const bool hasExtension = !dotExtension.empty() && destName.size() > dotExtension.size() &&
                              destName.ends_with(dotExtension);
    const std::string_view extension = hasExtension ? dotExtension : std::string_view();
    const std::string_view stem = destName.substr(0, destName.size() - extension.size());
    const std::string suffix = " (" + std::to_string(number) + ")";
    const std::size_t room = kDestNameBytes > extension.size() + suffix.size()
                                 ? kDestNameBytes - extension.size() - suffix.size()
                                 : 0;
    return FitDestName(std::string(stem.substr(0, Utf8CutLength(stem, room))) + suffix, extension);
}

bool WriteNamedDestination(ConvertItem& item, std::string_view root, const NamedPath& path,
                           std::string_view dotExtension) {
    std::string folder(root);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    for (const std::string& name : path.folders) {
        const std::size_t used = folder.size() + (folder == "/" ? 0 : 1);
        const std::string cut = used < kDestPathBytes ? CutComponent(name, kDestPathBytes - used) : std::string();
        if (cut.empty()) return false;
        folder += (folder == "/" ? "" : "/") + cut;
    }
    if (folder.size() > kDestPathBytes) return false;
    const std::size_t room = dotExtension.size() < kDestNameBytes ? kDestNameBytes - dotExtension.size() : 0;
    WriteField(item.destPath, folder);
    WriteField(item.destName, FitDestName(CutComponent(path.name, room), dotExtension));
    return true;
}

}  // namespace tessival
