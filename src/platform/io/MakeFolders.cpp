#include "platform/io/MakeFolders.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace tessival {
namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool MakeFolders(const std::string& folder, std::string& reason) {
    if (IsFolder(folder)) return true;
    // Each parent in turn, from the outermost; another writer may create one meanwhile.
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && part.back() != '/' && ::mkdir(part.c_str(), 0777) != 0 && !(errno == EEXIST && IsFolder(part))) {
            reason = std::strerror(errno == EEXIST ? ENOTDIR : errno);
            return false;
        }
        if (slash == std::string::npos) return true;
    }
}

}  // namespace tessival
