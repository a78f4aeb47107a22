#include "joblist/DestinationClashes.h"

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "joblist/DestNaming.h"
#include "joblist/TextField.h"

namespace tessival {
namespace {

// Files that exist compared by device and inode, so that links and other names of one file are
// one file; the others by their folder resolved as far as it exists, then their name as it
// stands. A list's items share a few folders, so each is resolved once.
class FileKeys {
public:
    std::string Key(const std::string& folder, const std::string& name) {
        std::string path = Resolved(folder) + '/' + name;
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return path;
        // No path starts with a NUL.
        return std::string(1, '\0') + std::to_string(info.st_dev) + ':' + std::to_string(info.st_ino);
    }

    std::string Destination(const ConvertItem& item) { return Key(ReadField(item.destPath), ReadField(item.destName)); }

    std::string Source(const ConvertItem& item) {
        const std::string path = ReadField(item.sourcePath);
        const auto slash = path.rfind('/');
        if (slash == std::string::npos) return Key({}, path);
        return Key(path.substr(0, slash + 1), path.substr(slash + 1));
    }

private:
    const std::string& Resolved(const std::string& folder) {
        const auto [found, inserted] = folders_.try_emplace(folder, folder);
        if (!inserted) return found->second;
        std::string& resolvedFolder = found->second;
        std::error_code error;
        const auto resolved = std::filesystem::weakly_canonical(folder, error);
        if (!error && !folder.empty()) resolvedFolder = resolved.string();
        while (resolvedFolder.size() > 1 && resolvedFolder.back() == '/') resolvedFolder.pop_back();
        return resolvedFolder;
    }

    std::unordered_map<std::string, std::string> folders_;
};

}  // namespace

std::vector<int> FindDestinationClashes(const ItemList& items) {
    std::vector<int> clashes;
    clashes.reserve(items.Count());
    std::unordered_map<std::string, int> firstWriter;
    FileKeys keys;
    items.ForEach([&](const ConvertItem& item) {
        const int index = static_cast<int>(clashes.size());
        const auto [found, inserted] = firstWriter.try_emplace(keys.Destination(item), index);
        clashes.push_back(inserted ? -1 : found->second);
    });
    return clashes;
}

void NumberClashingItems(ItemList& items, std::size_t first) {
    std::unordered_set<std::string> taken;
    FileKeys keys;
    for (std::size_t i = 0; i < items.Count(); ++i) {
        ConvertItem& item = *items.At(static_cast<std::ptrdiff_t>(i));
        const std::string name = ReadField(item.destName);
        const std::string dotExtension = "." + DestTypeExtension(FieldView(item.destType));
        std::string key = keys.Destination(item);
        for (int number = 2; i >= first && taken.contains(key); ++number) {
            WriteField(item.destName, NumberedDestName(name, dotExtension, number));
            key = keys.Destination(item);
        }
        taken.insert(key);
    }
}

std::vector<int> FindSourceWriters(const ItemList& items) {
    std::vector<int> writers;
    writers.reserve(items.Count());
    std::unordered_map<std::string, int> lastWriter;
    FileKeys keys;
    items.ForEach([&](const ConvertItem& item) {
        const auto found = lastWriter.find(keys.Source(item));
        writers.push_back(found == lastWriter.end() ? -1 : found->second);
        lastWriter[keys.Destination(item)] = static_cast<int>(writers.size()) - 1;
    });
    return writers;
}

}  // namespace tessival
