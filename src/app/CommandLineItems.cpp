#include "app/CommandLineItems.h"

#include <filesystem>

#include "joblist/ItemFactory.h"

namespace tessival {

std::vector<ConvertItem> CommandLineItems(const std::vector<std::string>& arguments,
                                          const std::string& startupDirectory, std::vector<std::string>& refused) {
    namespace fs = std::filesystem;
    std::vector<ConvertItem> items;
    for (const std::string& argument : arguments) {
        const fs::path path = fs::path(startupDirectory) / argument;  // an absolute argument replaces the folder
        std::error_code error;
        if (!fs::is_regular_file(path, error)) {
            refused.push_back(argument);
            continue;
        }
        items.push_back(MakeSingleFileItem(path.lexically_normal().string()));
    }
    return items;
}

}  // namespace tessival
