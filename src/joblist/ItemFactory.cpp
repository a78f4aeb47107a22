#include "joblist/ItemFactory.h"

#include "joblist/ItemTypes.h"
#include "joblist/TextField.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {
namespace {

std::string WithTrailingSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder.push_back('/');
    return folder;
}

}  // namespace

std::string MultiFilePath(const std::string& folder, const std::string& name) {
    return WithTrailingSlash(folder) + name;
}

std::string FileTooLongText(const std::string& fullPath) {
    constexpr std::size_t kPathBytes = sizeof(ConvertItem::sourcePath) - 1;
    constexpr std::size_t kNameBytes = sizeof(ConvertItem::sourceName) - 1;
    const auto slash = fullPath.rfind('/');
    const std::size_t nameBytes = slash == std::string::npos ? fullPath.size() : fullPath.size() - slash - 1;
    if (fullPath.size() > kPathBytes) return LoadString(IDS_ADD_PATH_TOO_LONG, {std::to_string(kPathBytes), fullPath});
    if (nameBytes > kNameBytes) return LoadString(IDS_ADD_NAME_TOO_LONG, {std::to_string(kNameBytes), fullPath});
    return {};
}

ConvertItem MakeSingleFileItem(const std::string& fullPath) {
    const auto slash = fullPath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : fullPath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? fullPath : fullPath.substr(slash + 1);
    const auto dot = name.rfind('.');

    ConvertItem item;
    WriteField(item.sourceName, name);
    WriteField(item.sourcePath, fullPath);
    WriteField(item.sourceExt, dot == std::string::npos ? std::string() : name.substr(dot + 1));
    WriteField(item.destName, dot == std::string::npos ? name : name.substr(0, dot));
    WriteField(item.destPath, folder);
    DetectSourceType(item);
    return item;
}

std::vector<ConvertItem> MakeMultiFileItems(const std::string& folder, const std::vector<std::string>& names) {
    const std::string base = MultiFilePath(folder, "");
    std::vector<ConvertItem> items;
    items.reserve(names.size());
    for (const std::string& name : names) {
        const auto dot = name.find('.');
        ConvertItem item;
        WriteField(item.sourceName, name);
        WriteField(item.sourcePath, base + name);
        WriteField(item.sourceExt, dot == std::string::npos ? name : name.substr(dot + 1));
        WriteField(item.destName, dot == std::string::npos ? std::string() : name.substr(0, dot));
        WriteField(item.destPath, base);
        DetectSourceType(item);
        items.push_back(item);
    }
    return items;
}

ConvertItem MakeDiscItem(const std::string& fullPath, const std::string& name, const std::string& extension) {
    ConvertItem item;
    WriteField(item.sourceName, name);
    WriteField(item.sourcePath, fullPath);
    WriteField(item.sourceExt, extension);
    WriteField(item.destName, name);
    DetectSourceType(item);
    return item;
}

ConvertItem MakeCaptureItem(const std::string& deviceName, int deviceIndex, int inputIndex) {
    ConvertItem item;
    WriteField(item.sourceName, deviceName);
    WriteField(item.sourceExt, "CAP");
    WriteField(item.destName, deviceName);
    item.captureDevice = deviceIndex;
    item.captureInput = inputIndex;
    DetectSourceType(item);
    return item;
}

}  // namespace tessival
