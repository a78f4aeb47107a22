#include "platform/shell/MountTableDriveTypes.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tessival {
namespace {

// SCSI CD-ROM devices (/dev/sr*) have block major 11.
constexpr unsigned kScsiCdromMajor = 11;

// mountinfo escapes space, tab, newline and backslash as \ooo.
bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

std::string Unescape(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) && IsOctalDigit(field[i + 2]) &&
            IsOctalDigit(field[i + 3])) {
            out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool PathIsUnder(const std::string& path, const std::string& root) {
    if (root == "/") return StartsWith(path, "/");
    return StartsWith(path, root) && (path.size() == root.size() || path[root.size()] == '/');
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    auto absolute = std::filesystem::weakly_canonical(std::filesystem::absolute(path, error), error);
    if (error) absolute = std::filesystem::absolute(path, error).lexically_normal();
    std::string text = absolute.string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

}  // namespace

MountTableDriveTypes::MountTableDriveTypes(std::string mountInfoPath) : mountInfoPath_(std::move(mountInfoPath)) {}

std::vector<MountTableDriveTypes::Mount> MountTableDriveTypes::ParseMountInfo(const std::string& text) {
    std::vector<Mount> mounts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string id, parent, majorMinor, root, mountPoint, field;
        if (!(fields >> id >> parent >> majorMinor >> root >> mountPoint)) continue;
        while (fields >> field && field != "-") {
        }
        Mount mount;
        if (!(fields >> mount.fsType >> mount.source)) continue;
        mount.mountPoint = Unescape(mountPoint);
        mount.source = Unescape(mount.source);
        mount.major = static_cast<unsigned>(std::strtoul(majorMinor.c_str(), nullptr, 10));
        mounts.push_back(std::move(mount));
    }
    return mounts;
}

const MountTableDriveTypes::Mount* MountTableDriveTypes::FindMount(const std::vector<Mount>& mounts,
                                                                   const std::string& absolutePath) {
    const Mount* best = nullptr;
    // Later entries stack over earlier ones on the same mount point.
    for (const Mount& mount : mounts) {
        if (PathIsUnder(absolutePath, mount.mountPoint) &&
            (!best || mount.mountPoint.size() >= best->mountPoint.size()))
            best = &mount;
    }
    return best;
}

bool MountTableDriveTypes::IsOpticalDevice(const std::string& devicePath, unsigned major) {
    if (major == kScsiCdromMajor) return true;
    const std::string name = std::filesystem::path(devicePath).filename().string();
    return StartsWith(devicePath, "/dev/") &&
           (StartsWith(name, "sr") || StartsWith(name, "scd") || StartsWith(name, "cdrom") ||
            StartsWith(name, "dvd") || StartsWith(name, "cdrw"));
}

bool MountTableDriveTypes::IsCdRom(const std::string& path) const {
    if (path.empty()) return false;
    const std::string absolute = AbsolutePath(path);
    // An audio CD has no mount: its drive is the device node itself.
    if (StartsWith(absolute, "/dev/")) return IsOpticalDevice(absolute, 0);

    std::ifstream file(mountInfoPath_);
    std::stringstream text;
    text << file.rdbuf();
    const auto mounts = ParseMountInfo(text.str());
    const Mount* mount = FindMount(mounts, absolute);
    if (!mount) return false;
    if (mount->fsType == "iso9660" || mount->fsType == "udf") return true;
    return IsOpticalDevice(mount->source, mount->major);
}

const DriveTypes& SystemDriveTypes() {
    static const MountTableDriveTypes system;
    return system;
}

}  // namespace tessival
