#include "joblist/AlbumTracks.h"

#include <cstdio>
#include <sstream>

#include "joblist/CueAlbum.h"
#include "joblist/ItemTypes.h"
#include "joblist/TextField.h"
#include "platform/io/TrackPath.h"

namespace tessival {
namespace {

constexpr double kCdFramesPerSecond = 75;

std::string TrackName(const CueSheet::Track& track) {
    char number[8];
    std::snprintf(number, sizeof number, "%02d", track.number);
    std::string name = track.text.title.empty() ? "Track " + std::string(number) : number + (" - " + track.text.title);
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
    const auto album = ReadCueAlbum(cuePath);
    if (!album) return {};
    if (album->unreadableIndexLine > 0) {
        problem = CueLineProblem(DiscProblem::Kind::CueIndexUnreadable, cuePath, album->unreadableIndexLine);
        return {};
    }
    if (album->overlapping) return {};
    std::vector<ConvertItem> items;
    for (const CueAlbum::Track& cut : album->tracks) {
        const CueSheet::Track& track = album->SheetTrack(cut);
        const auto seconds = durationOf ? durationOf(cut.audioFile) : std::nullopt;
        if (seconds && static_cast<double>(track.index1) / kCdFramesPerSecond >= *seconds) {
            problem = CueLineProblem(DiscProblem::Kind::CueTrackPastEnd, cuePath, track.index1Line);
            return {};
        }
        const std::string path = MakeTrackPath(cut.audioFile, cut.range);
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
