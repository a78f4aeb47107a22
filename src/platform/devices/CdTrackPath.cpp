#include "platform/devices/CdTrackPath.h"

#include <cctype>
#include <cstdio>

namespace tessival {

std::string TrackFileName(int trackNumber) {
    char name[32];
    std::snprintf(name, sizeof name, "Track%02d.cda", trackNumber);
    return name;
}

bool ParseTrackPath(const std::string& path, std::string& drive, int& trackNumber) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos || slash == 0) return false;
    std::string name = path.substr(slash + 1);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    constexpr std::string_view prefix = "track", suffix = ".cda";
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (digits.size() > 2) return false;
    int number = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > 99) return false;
    drive = path.substr(0, slash);
    trackNumber = number;
    return true;
}

}  // namespace tessival
