// Cue sheets and toc files as `add` reads them: an album's sheet into its tracks, a disc image's
// sheet into its data files, with the rules they keep: tracks start at a frame that exists and in
// a range of their file, a line reported as unreadable is a line of the text, and a sheet over a
// file that is not there adds nothing that names another file.
//
// A Nero image's track table keeps its tracks in disc order, none overlapping.
//
// Input: one selector byte (bit 0: a .toc rather than a .cue; bit 1: a Nero image), then the
// sheet's text or the image's bytes.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "joblist/AlbumTracks.h"
#include "joblist/ItemFactory.h"
#include "joblist/TextField.h"
#include "platform/devices/CueSheet.h"
#include "platform/devices/DiscImage.h"
#include "platform/devices/NrgFile.h"
#include "platform/io/TrackPath.h"

using namespace tessival;

namespace {

void CheckParsedSheet(std::string_view text) {
    const CueSheet sheet = ParseCueSheet(text);
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n')) + 1;
    fuzz::Require(sheet.firstBadLine >= 0 && sheet.firstBadLine <= lines, "a refused line is a line of the sheet");
    for (const CueSheet::Track& track : sheet.tracks) {
        fuzz::Require(track.index1 >= -1, "a track starts at a frame that exists or nowhere");
        fuzz::Require(track.number >= 0 && track.number < 100, "a track's number is one a disc can have");
        fuzz::Require(track.index1Line >= 0 && track.index1Line <= lines, "a track's INDEX line is in the sheet");
        fuzz::Require(track.index1File < static_cast<int>(sheet.files.size()), "a track's file is one the sheet names");
    }
}

void CheckNeroImage(const std::string& path) {
    DiscLayout layout;
    DiscProblem problem;
    if (!ReadTrackAtOnceNrg(path, layout, problem)) return;
    for (std::size_t i = 0; i < layout.tracks.size(); ++i) {
        const DiscLayout::Track& track = layout.tracks[i];
        fuzz::Require(track.firstSector >= 0 && track.lastSector >= track.firstSector - 1, "a track's sectors run forward");
        fuzz::Require(i == 0 || track.firstSector > layout.tracks[i - 1].lastSector, "tracks do not overlap");
    }
}

void CheckExpandedTracks(const std::string& sheetPath) {
    std::vector<DiscProblem> problems;
    for (const ConvertItem& item : ExpandAlbumTracks({MakeSingleFileItem(sheetPath)}, problems)) {
        const std::string source = ReadField(item.sourcePath);
        if (source == sheetPath) continue;  // left as it is
        const SourceLocation location = LocateSource(source);
        fuzz::Require(location.track.has_value(), "an album track names its file and frame range");
        fuzz::Require(location.track->firstFrame >= 0 &&
                          (location.track->endFrame < 0 || location.track->endFrame > location.track->firstFrame),
                      "a track's range is not empty");
    }
    for (const DiscProblem& problem : problems) fuzz::Require(problem.line >= 1, "a refused sheet says which line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const fuzz::ScratchFolder folder;
    folder.Clear();
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] & 2) {
        const std::string imagePath = folder.File("disc.nrg");
        fuzz::WriteFile(imagePath, data + 1, size - 1);
        CheckNeroImage(imagePath);
        return 0;
    }
    CheckParsedSheet(text);
    const std::string sheetPath = folder.File((data[0] & 1) ? "disc.toc" : "album.cue");
    fuzz::WriteFile(sheetPath, data + 1, size - 1);
    CheckExpandedTracks(sheetPath);
    if (DiscImage::IsDiscImage(sheetPath)) {
        const DiscImage image(sheetPath);
        // Nothing the sheet names exists in the scratch folder but the sheet itself.
        const DiscProblem problem = image.CheckFiles();
        fuzz::Require(image.DataFiles().empty() || problem.kind == DiscProblem::Kind::DataFileMissing ||
                          problem.kind == DiscProblem::Kind::None,
                      "a sheet's missing files are reported as missing");
    }
    return 0;
}
