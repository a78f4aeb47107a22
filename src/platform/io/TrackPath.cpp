#include "platform/io/TrackPath.h"

#include <sys/stat.h>

#include <charconv>

namespace tessival {
namespace {

constexpr std::string_view kMarker = "#frames=";

bool ParseNumber(std::string_view text, std::int64_t& value) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

std::string MakeTrackPath(const std::string& file, const TrackRange& range) {
    std::string path = file + std::string(kMarker) + std::to_string(range.firstFrame) + "-";
    if (range.endFrame >= 0) path += std::to_string(range.endFrame);
    return path;
}

SourceLocation LocateSource(const std::string& recordPath) {
    SourceLocation plain{recordPath, std::nullopt};
    const auto marker = recordPath.rfind(kMarker);
    if (marker == std::string::npos || marker == 0) return plain;
    const std::string_view tail = std::string_view(recordPath).substr(marker + kMarker.size());
    const auto dash = tail.find('-');
    if (dash == std::string_view::npos) return plain;
    TrackRange range;
    if (!ParseNumber(tail.substr(0, dash), range.firstFrame)) return plain;
    const std::string_view end = tail.substr(dash + 1);
    if (!end.empty() && (!ParseNumber(end, range.endFrame) || range.endFrame <= range.firstFrame)) return plain;
    if (Exists(recordPath)) return plain;
    return {recordPath.substr(0, marker), range};
}

}  // namespace tessival
