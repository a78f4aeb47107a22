#include "engine/sources/NamedSources.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "engine/sources/SourceAdding.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {
namespace {

bool IsSameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Why a named path cannot be taken, or "" when it can.
std::string RefusalOf(const std::string& path, struct stat& info) {
    if (path == "-") return "'-' is not a file: use --files-from=- to read names from standard input";
    if (::stat(path.c_str(), &info) != 0) return path + ": " + std::strerror(errno);
    // A FIFO would wait for a writer, a device would never end.
    if (!S_ISDIR(info.st_mode) && !S_ISREG(info.st_mode)) return LoadStringWith(IDS_NOT_REGULAR_FILE, path);
    const int access = S_ISDIR(info.st_mode) ? R_OK | X_OK : R_OK;
    if (::access(path.c_str(), access) != 0) return path + ": " + std::strerror(errno);
    return {};
}

}  // namespace

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) return path;
    std::string joined;
    for (const auto& part : absolute.relative_path()) {
        if (part.empty() || part == ".") continue;
        joined += "/" + part.string();
    }
    return joined.empty() ? "/" : joined;
}

bool FindNamedSources(const std::vector<std::string>& named, const std::string& skipped,
                      std::vector<FoundSource>& found, std::string& problem) {
    struct stat skippedInfo {};
    const bool skipping = !skipped.empty() && ::stat(skipped.c_str(), &skippedInfo) == 0;
    std::vector<FoundSource> taken;
    for (const std::string& name : named) {
        struct stat info {};
        if (problem = RefusalOf(name, info); !problem.empty()) return false;
        const std::string path = AbsolutePath(name);
        if (!S_ISDIR(info.st_mode)) {
            if (!skipping || !IsSameFile(info, skippedInfo)) taken.push_back({path, {}});
            continue;
        }
        for (std::string& file : MediaFilesBelow(path)) {
            struct stat fileInfo {};
            if (skipping && ::stat(file.c_str(), &fileInfo) == 0 && IsSameFile(fileInfo, skippedInfo)) continue;
            taken.push_back({std::move(file), path});
        }
    }
    found.insert(found.end(), taken.begin(), taken.end());
    return true;
}

}  // namespace tessival
