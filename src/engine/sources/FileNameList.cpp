#include "engine/sources/FileNameList.h"

#include <memory>

namespace tessival {
namespace {

void TakeName(std::string& name, char separator, std::vector<std::string>& names) {
    if (separator == '\n' && !name.empty() && name.back() == '\r') name.pop_back();
    if (!name.empty()) names.push_back(std::move(name));
    name.clear();
}

}  // namespace

bool ReadFileNames(std::FILE* stream, char separator, std::vector<std::string>& names) {
    std::string name;
    for (int c; (c = std::getc(stream)) != EOF;) {
        if (static_cast<char>(c) == separator)
            TakeName(name, separator, names);
        else
            name += static_cast<char>(c);
    }
    TakeName(name, separator, names);
    return !std::ferror(stream);
}

bool ReadFileNames(const std::string& path, char separator, std::vector<std::string>& names) {
    if (path == "-") return ReadFileNames(stdin, separator, names);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    return file && ReadFileNames(file.get(), separator, names);
}

}  // namespace tessival
