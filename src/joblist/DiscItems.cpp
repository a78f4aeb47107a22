#include "joblist/DiscItems.h"

#include <cstdio>
#include <filesystem>

#include "joblist/ItemFactory.h"
#include "joblist/TextField.h"
#include "platform/devices/CdDisc.h"
#include "platform/devices/CdTrackPath.h"
#include "platform/devices/DiscImage.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {
namespace {

struct ScanPass {
    const char* subfolder;
    const char* pattern;
    const char* extension;
};

constexpr ScanPass kScanPasses[] = {
    {"", "*.cda", "cda"},
    {"mpegav", "*.dat", "dat"},
    {"VIDEO_TS", "*.vob", "vob"},
};

// Fills a string-table text whose placeholders are %s and %d in the given order.
template <class... Args>
std::string Format(int stringId, Args... args) {
    const std::string pattern = LoadString(stringId);
    char text[1024];
    std::snprintf(text, sizeof text, pattern.c_str(), args...);
    return text;
}

std::string MinutesSeconds(int seconds) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", seconds / 60, seconds % 60);
    return text;
}

}  // namespace

std::string DiscProblemText(const DiscProblem& problem) {
    const char* source = problem.source.c_str();
    switch (problem.kind) {
        case DiscProblem::Kind::None: return {};
        case DiscProblem::Kind::NoDisc: return Format(IDS_CD_NO_DISC, source);
        case DiscProblem::Kind::ImageMissing: return LoadString(IDS_SOURCE_UNREADABLE);
        case DiscProblem::Kind::DataFileMissing:
            return Format(IDS_CD_IMAGE_FILE_MISSING, source, problem.detail.c_str());
        case DiscProblem::Kind::BadImage: return Format(IDS_CD_IMAGE_DAMAGED, source);
        case DiscProblem::Kind::NoSuchTrack: return Format(IDS_CD_NO_SUCH_TRACK, source, problem.track);
        case DiscProblem::Kind::UnreadableSector:
            return Format(IDS_CD_SECTOR_UNREADABLE, problem.track, MinutesSeconds(problem.secondsIntoTrack).c_str());
        case DiscProblem::Kind::NoPermission:
            return Format(IDS_CD_IMAGE_NO_PERMISSION, source, problem.detail.c_str());
        case DiscProblem::Kind::EmptyTrack: return Format(IDS_CD_TRACK_EMPTY, problem.track, source);
        case DiscProblem::Kind::TrackPastEnd: return Format(IDS_CD_TRACK_PAST_END, problem.track, source);
        case DiscProblem::Kind::TestCopyDiffer:
            return Format(IDS_CD_TEST_COPY_DIFFER, problem.track, problem.detail.c_str(), problem.detail2.c_str());
        case DiscProblem::Kind::CueIndexUnreadable: return Format(IDS_CUE_INDEX_UNREADABLE, source, problem.line);
        case DiscProblem::Kind::CueTrackPastEnd: return Format(IDS_CUE_TRACK_PAST_END, source, problem.line);
    }
    return {};
}

std::vector<ConvertItem> ScanCdRomDrives(const Shell& shell) {
    std::vector<ConvertItem> items;
    const std::vector<std::string> drives = shell.CdRomDrives();
    for (const ScanPass& pass : kScanPasses) {
        for (const std::string& drive : drives) {
            const std::string folder = *pass.subfolder ? drive + "/" + pass.subfolder : drive;
            for (const DiscEntry& entry : shell.FindFiles(folder, pass.pattern))
                items.push_back(MakeDiscItem(entry.fullPath, entry.name, pass.extension));
        }
    }
    return items;
}

std::vector<ConvertItem> MakeDiscImageItems(const std::string& givenPath, DiscProblem& problem) {
    std::vector<ConvertItem> items;
    // The list outlives the working folder the image was named from.
    std::error_code error;
    const std::string imagePath = givenPath.empty() ? givenPath : std::filesystem::absolute(givenPath, error).string();
    const auto disc = CdDisc::Open(imagePath, problem);
    if (!disc) return items;
    for (const DiscTrack& track : disc->AudioTracks()) {
        const std::string name = TrackFileName(track.number);
        items.push_back(MakeDiscItem(imagePath + "/" + name, name, "cda"));
    }
    return items;
}

std::vector<ConvertItem> ExpandDiscImages(const std::vector<ConvertItem>& items, std::vector<DiscProblem>& problems) {
    std::vector<ConvertItem> expanded;
    for (const ConvertItem& item : items) {
        const std::string path = ReadField(item.sourcePath);
        if (!DiscImage::IsDiscImage(path)) {
            expanded.push_back(item);
            continue;
        }
        DiscProblem problem;
        for (const ConvertItem& track : MakeDiscImageItems(path, problem)) expanded.push_back(track);
        if (problem) problems.push_back(problem);
    }
    return expanded;
}

}  // namespace tessival
