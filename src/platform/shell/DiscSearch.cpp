#include "platform/shell/DiscSearch.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/devices/CdDisc.h"
#include "platform/devices/CdTrackPath.h"
#include "platform/devices/DiscImage.h"

namespace tessival {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The folder as it stands, or the one whose last component differs from it only in case.
fs::path ResolveFolder(const std::string& folder) {
    std::error_code error;
    const fs::path path(folder);
    if (fs::is_directory(path, error)) return path;
    const std::string wanted = Lower(path.filename().string());
    for (const auto& entry : fs::directory_iterator(path.parent_path(), error)) {
        if (entry.is_directory(error) && Lower(entry.path().filename().string()) == wanted) return entry.path();
    }
    return {};
}

std::vector<DiscEntry> ListFolder(const std::string& folder, const std::string& extension) {
    std::vector<DiscEntry> found;
    const fs::path resolved = ResolveFolder(folder);
    if (resolved.empty()) return found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(resolved, error)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file(error) || name.size() <= extension.size() ||
            Lower(name.substr(name.size() - extension.size())) != extension)
            continue;
        found.push_back({entry.path().string(), name});
    }
    std::sort(found.begin(), found.end(),
              [](const DiscEntry& a, const DiscEntry& b) { return Lower(a.name) < Lower(b.name); });
    return found;
}

// The device (or image) behind a drive name, or "" when the folder is no drive.
std::string DiscSourceOf(const CdDrives& drives, const std::string& folder) {
    OpticalDrive drive;
    if (drives.Find(folder, drive)) return drive.device;
    return DiscImage::IsDiscImage(folder) ? folder : std::string();
}

std::vector<DiscEntry> ListTracks(const std::string& folder, const std::string& source) {
    std::vector<DiscEntry> found;
    DiscProblem problem;
    const auto disc = CdDisc::Open(source, problem);
    if (!disc) return found;
    for (const DiscTrack& track : disc->AudioTracks()) {
        const std::string name = TrackFileName(track.number);
        found.push_back({folder + "/" + name, name});
    }
    return found;
}

}  // namespace

std::vector<std::string> CdRomDriveNames(const CdDrives& drives) {
    std::vector<std::string> names;
    for (const OpticalDrive& drive : drives.List())
        names.push_back(drive.mountPoint.empty() ? drive.device : drive.mountPoint);
    return names;
}

std::vector<DiscEntry> FindDiscFiles(const CdDrives& drives, const std::string& folder, const std::string& pattern) {
    if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0) return {};
    const std::string extension = Lower(pattern.substr(1));
    if (extension == ".cda") {
        const std::string source = DiscSourceOf(drives, folder);
        if (!source.empty()) return ListTracks(folder, source);
    }
    return ListFolder(folder, extension);
}

}  // namespace tessival
