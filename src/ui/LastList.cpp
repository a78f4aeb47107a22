#include "ui/LastList.h"

#include <cstdlib>
#include <filesystem>

#include "joblist/ListFile.h"

namespace tessival {

std::string LastListPath() {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::filesystem::path folder;
    // Relative values are invalid by the base-directory rules and are ignored.
    if (state && state[0] == '/') {
        folder = state;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::filesystem::path(home && home[0] ? home : "/tmp") / ".local" / "state";
    }
    return (folder / "tessival" / "last.tsl").string();
}

bool KeepLastList(const ItemList& list, const std::string& path) {
    std::error_code error;
    if (list.Empty()) {
        std::filesystem::remove(path, error);
        return !error;
    }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (error) return false;
    return WriteListFile(path, list) == ListFileResult::Ok;
}

bool ReadLastList(ItemList& list, const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    return ReadListFile(path, list) == ListFileResult::Ok && !list.Empty();
}

}  // namespace tessival
