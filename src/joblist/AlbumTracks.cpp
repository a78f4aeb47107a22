#include "joblist/AlbumTracks.h"

#include <sys/stat.h>

#include <cstdio>
#include <sstream>

#include "joblist/CueSheet.h"
#include "joblist/ItemTypes.h"
#include "joblist/TextField.h"
#include "platform/io/RegularFile.h"
#include "platform/io/TrackPath.h"

namespace tessival {
namespace {

constexpr std::size_t kMaxCueBytes = 1 << 20;
constexpr double kCdFramesPerSecond = 75;

bool IsFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> ReadSmallFile(const std::string& path) {
    int error = 0;
    return ReadRegularFile(path, kMaxCueBytes, error);
}

// The album's audio file beside the sheet. Rips are often re-encoded after the sheet was
// written, so a missing "album.wav" is looked for as album.flac, album.ape, ... too.
std::string AudioFileFor(const std::string& folder, const std::string& named) {
    const auto slash = named.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? named : named.substr(slash + 1);
    const std::string path = folder + name;
    if (IsFile(path)) return path;
    const auto dot = name.rfind('.');
    const std::string stem = folder + (dot == std::string::npos ? name : name.substr(0, dot));
    for (const char* extension : {".flac", ".ape", ".wv", ".wav", ".tta", ".m4a", ".ogg", ".opus"})
        if (IsFile(stem + extension)) return stem + extension;
    return path;
}

std::string TrackName(const CueTrack& track) {
    char number[8];
    std::snprintf(number, sizeof number, "%02d", track.number);
    std::string name = track.title.empty() ? "Track " + std::string(number) : number + (" - " + track.title);
    return name;
}

std::string SafeFileName(std::string name) {
    for (char& c : name)
        if (c == '/') c = '-';
    return name;
}

DiscProblem CueLineProblem(DiscProblem::Kind kind, const std::string& cuePath, int line) {
    DiscProblem problem;
    problem.kind = kind;
    problem.source = cuePath;
    problem.line = line;
    return problem;
}

// The items of a cue sheet's tracks; none when the sheet cannot be read as one album, or, with
// `problem` set, when one of its lines cannot be used.
std::vector<ConvertItem> TrackItems(const ConvertItem& cueItem, const DurationOf& durationOf, DiscProblem& problem) {
    const std::string cuePath = ReadField(cueItem.sourcePath);
    const auto text = ReadSmallFile(cuePath);
    const auto sheet = text ? ParseCueSheet(*text) : std::nullopt;
    if (!sheet || sheet->discImage) return {};
    if (sheet->unreadableIndexLine > 0) {
        problem = CueLineProblem(DiscProblem::Kind::CueIndexUnreadable, cuePath, sheet->unreadableIndexLine);
        return {};
    }
    const auto slash = cuePath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : cuePath.substr(0, slash + 1);
    std::vector<ConvertItem> items;
    for (std::size_t i = 0; i < sheet->tracks.size(); ++i) {
        const CueTrack& track = sheet->tracks[i];
        TrackRange range{track.index01, -1};
        if (i + 1 < sheet->tracks.size() && sheet->tracks[i + 1].file == track.file)
            range.endFrame = sheet->tracks[i + 1].index01;
        if (range.endFrame >= 0 && range.endFrame <= range.firstFrame) return {};
        const std::string audioFile = AudioFileFor(folder, track.file);
        const auto seconds = durationOf ? durationOf(audioFile) : std::nullopt;
        if (seconds && static_cast<double>(track.index01) / kCdFramesPerSecond >= *seconds) {
            problem = CueLineProblem(DiscProblem::Kind::CueTrackPastEnd, cuePath, track.indexLine);
            return {};
        }
        const std::string path = MakeTrackPath(audioFile, range);
        // A cut path would name another file, and so would one that a NUL in the sheet cuts short.
        if (path.size() >= sizeof cueItem.sourcePath || path.find('\0') != std::string::npos) return {};
        ConvertItem item;
        WriteField(item.sourcePath, path);
        WriteField(item.sourceName, TrackName(track));
        WriteField(item.sourceExt, "cue");
        WriteField(item.destName, SafeFileName(TrackName(track)));
        std::memcpy(item.destPath, cueItem.destPath, sizeof item.destPath);
        DetectSourceType(item);
        items.push_back(item);
    }
    return items;
}

}  // namespace

std::vector<ConvertItem> ExpandAlbumTracks(const std::vector<ConvertItem>& items, std::vector<DiscProblem>& problems,
                                           const DurationOf& durationOf) {
    std::vector<ConvertItem> expanded;
    for (const ConvertItem& item : items) {
        DiscProblem problem;
        auto tracks =
            FieldView(item.sourceExt) == "cue" ? TrackItems(item, durationOf, problem) : std::vector<ConvertItem>{};
        if (problem)
            problems.push_back(problem);
        else if (tracks.empty())
            expanded.push_back(item);
        else
            expanded.insert(expanded.end(), tracks.begin(), tracks.end());
    }
    return expanded;
}

}  // namespace tessival
