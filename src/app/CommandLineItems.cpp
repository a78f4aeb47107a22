#include "app/CommandLineItems.h"

#include <filesystem>

#include "joblist/ItemFactory.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {

std::vector<ConvertItem> CommandLineItems(const std::vector<std::string>& arguments,
                                          const std::string& startupDirectory, std::vector<std::string>& refused) {
    namespace fs = std::filesystem;
    std::vector<ConvertItem> items;
    for (const std::string& argument : arguments) {
        const fs::path path = fs::path(startupDirectory) / argument;  // an absolute argument replaces the folder
        std::error_code error;
        if (!fs::is_regular_file(path, error)) {
            refused.push_back(LoadStringWith(IDS_FILE_NOT_ADDED, argument));
            continue;
        }
        const std::string fullPath = path.lexically_normal().string();
        // An item's fields have fixed sizes: a cut path would name another file.
        if (std::string tooLong = FileTooLongText(fullPath); !tooLong.empty()) {
            refused.push_back(std::move(tooLong));
            continue;
        }
        items.push_back(MakeSingleFileItem(fullPath));
    }
    return items;
}

}  // namespace tessival
