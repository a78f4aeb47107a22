#include "platform/io/FileExtension.h"

#include <cctype>
#include <filesystem>

namespace tessival {

std::string LowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

}  // namespace tessival
