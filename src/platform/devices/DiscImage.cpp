#include "platform/devices/DiscImage.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>

#include "platform/devices/CueSheet.h"
#include "platform/io/FileExtension.h"
#include "platform/io/RegularFile.h"

namespace tessival {
namespace {

constexpr std::size_t kMaxSheetBytes = 1 << 20;

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The first word of a toc line after the keyword: a quoted name or a bare word.
std::string TakeName(std::istringstream& words) {
    words >> std::ws;
    std::string name;
    if (words.peek() == '"') {
        words.get();
        std::getline(words, name, '"');
    } else {
        words >> name;
    }
    return name;
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

DiscImage::DiscImage(std::string path) : path_(std::move(path)), extension_(LowerExtension(path_)) { ReadSheet(); }

void DiscImage::ReadSheet() {
    if (extension_ != ".cue" && extension_ != ".toc") return;
    // A FIFO named like a sheet would hold a plain open for good.
    int error = 0;
    const std::string bytes = ReadRegularFile(path_, kMaxSheetBytes, error).value_or(std::string());
    const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    const auto add = [&](const std::string& name, const std::string& type) {
        if (name.empty()) return;
        const std::string path = std::filesystem::path(name).is_absolute() ? name : (folder / name).string();
        dataFiles_.push_back({name, path});
        fileTypes_.push_back(type);
    };
    if (extension_ == ".cue") {
        for (const CueSheet::File& file : ParseCueSheet(bytes).files) add(file.name, file.type);
        return;
    }
    std::istringstream sheet(bytes);
    std::string line;
    while (std::getline(sheet, line)) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        keyword = Upper(keyword);
        if (keyword == "FILE" || keyword == "DATAFILE") {
            const std::string name = TakeName(words);
            std::string type;
            words >> type;
            add(name, Upper(type));
        }
    }
}

bool DiscImage::IsDiscImage(const std::string& path) {
    const std::string extension = LowerExtension(path);
    if (extension == ".toc" || extension == ".nrg") return true;
    if (extension != ".cue") return false;
    const DiscImage image(path);
    if (image.fileTypes_.empty()) return false;
    return std::all_of(image.fileTypes_.begin(), image.fileTypes_.end(),
                       [](const std::string& type) { return type == "BINARY" || type == "MOTOROLA"; });
}

DiscProblem DiscImage::CheckFiles() const {
    DiscProblem problem;
    problem.source = path_;
    if (!IsRegularFile(path_)) {
        problem.kind = DiscProblem::Kind::ImageMissing;
        return problem;
    }
    for (const DataFile& file : dataFiles_) {
        if (!IsRegularFile(file.path)) {
            problem.kind = DiscProblem::Kind::DataFileMissing;
            problem.detail = file.name;
            return problem;
        }
    }
    return problem;
}

}  // namespace tessival
