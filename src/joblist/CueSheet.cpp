#include "joblist/CueSheet.h"

#include <algorithm>
#include <charconv>

namespace tessival {
namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// The words of a line; a quoted word keeps its spaces.
std::vector<std::string> Words(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        if (line[i] == '"') {
            const auto close = line.find('"', i + 1);
            const auto end = close == std::string_view::npos ? line.size() : close;
            words.emplace_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            const auto end = std::min(line.find_first_of(" \t", i), line.size());
            words.emplace_back(line.substr(i, end - i));
            i = end;
        }
    }
    return words;
}

bool ParseInt(std::string_view text, std::int64_t& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

// Far beyond any album's length, and small enough that frames never overflow.
constexpr std::int64_t kMostMinutes = 1000000;

// "mm:ss:ff" to frames.
std::int64_t ParseTime(std::string_view text) {
    const auto first = text.find(':'), second = text.rfind(':');
    std::int64_t minutes = 0, seconds = 0, frames = 0;
    if (first == std::string_view::npos || first == second || !ParseInt(text.substr(0, first), minutes) ||
        !ParseInt(text.substr(first + 1, second - first - 1), seconds) || !ParseInt(text.substr(second + 1), frames) ||
        minutes > kMostMinutes || seconds >= 60 || frames >= 75)
        return -1;
    return (minutes * 60 + seconds) * 75 + frames;
}

}  // namespace

std::optional<CueSheet> ParseCueSheet(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    CueSheet sheet;
    std::string file;
    std::optional<CueTrack> track;  // the audio track being read
    int lineNumber = 0;
    const auto finish = [&] {
        if (track && track->index01 >= 0) sheet.tracks.push_back(*track);
        track.reset();
    };
    while (!text.empty()) {
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const auto words = Words(line);
        if (words.empty()) continue;
        const std::string keyword = Upper(words[0]);
        if (keyword == "FILE" && words.size() >= 2) {
            finish();
            file = words[1];
            const std::string type = words.size() >= 3 ? Upper(words[2]) : "";
            if (type == "BINARY" || type == "MOTOROLA") sheet.discImage = true;
        } else if (keyword == "TRACK" && words.size() >= 3) {
            finish();
            std::int64_t number = 0;
            if (Upper(words[2]) == "AUDIO" && ParseInt(words[1], number) && number < 100) {
                track = CueTrack{};
                track->number = static_cast<int>(number);
                track->file = file;
            }
        } else if (keyword == "TITLE" && words.size() >= 2 && track) {
            track->title = words[1];
        } else if (std::int64_t index = 0; keyword == "INDEX" && words.size() >= 3 && track &&
                                             ParseInt(words[1], index) && index == 1) {
            track->index01 = ParseTime(words[2]);
            track->indexLine = lineNumber;
            if (track->index01 < 0 && sheet.unreadableIndexLine == 0) sheet.unreadableIndexLine = lineNumber;
        }
    }
    finish();
    if (sheet.tracks.empty() && sheet.unreadableIndexLine == 0) return std::nullopt;
    return sheet;
}

}  // namespace tessival
