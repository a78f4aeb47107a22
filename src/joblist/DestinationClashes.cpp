#include "joblist/DestinationClashes.h"

#include <filesystem>
#include <string>
#include <unordered_map>

#include "joblist/TextField.h"

namespace tessival {
namespace {

std::string DestinationKey(const ConvertItem& item) {
    std::string folder = ReadField(item.destPath);
    std::error_code error;
    const auto resolved = std::filesystem::weakly_canonical(folder, error);
    if (!error && !folder.empty()) folder = resolved.string();
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder + '/' + ReadField(item.destName);
}

}  // namespace

std::vector<int> FindDestinationClashes(const ItemList& items) {
    std::vector<int> clashes;
    clashes.reserve(items.Count());
    std::unordered_map<std::string, int> firstWriter;
    items.ForEach([&](const ConvertItem& item) {
        const int index = static_cast<int>(clashes.size());
        const auto [found, inserted] = firstWriter.try_emplace(DestinationKey(item), index);
        clashes.push_back(inserted ? -1 : found->second);
    });
    return clashes;
}

}  // namespace tessival
