#include "joblist/CueAlbum.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "platform/io/FileExtension.h"
#include "platform/io/RegularFile.h"

namespace tessival {
namespace {

constexpr std::size_t kMaxCueBytes = 1 << 20;

bool IsFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The audio file beside the sheet. Rips are often re-encoded after the sheet was written, so a
// missing "album.wav" is looked for as album.flac, album.ape, ... too.
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

bool NamesRawSectors(const CueSheet& sheet) {
    return std::any_of(sheet.files.begin(), sheet.files.end(), [](const CueSheet::File& file) {
        return file.type == "BINARY" || file.type == "MOTOROLA";
    });
}

void CutTracks(CueAlbum& album, const std::string& folder) {
    const CueSheet& sheet = album.sheet;
    for (std::size_t i = 0; i < sheet.tracks.size(); ++i) {
        const CueSheet::Track& track = sheet.tracks[i];
        if (!track.Audio()) continue;
        if (track.UnreadableIndex1() && !album.unreadableIndexLine) album.unreadableIndexLine = track.index1Line;
        if (track.index1 < 0 || track.index1File < 0) continue;
        const bool startsLaterFile = !album.tracks.empty() && album.SheetTrack(album.tracks.back()).index1File !=
                                                                   track.index1File;
        CueAlbum::Track cut;
        cut.sheetTrack = i;
        cut.audioFile = AudioFileFor(folder, sheet.files[static_cast<std::size_t>(track.index1File)].name);
        cut.range.firstFrame = startsLaterFile ? 0 : track.index1;
        album.tracks.push_back(cut);
    }
    for (std::size_t k = 0; k + 1 < album.tracks.size(); ++k) {
        const CueSheet::Track& next = album.SheetTrack(album.tracks[k + 1]);
        if (next.index1File != album.SheetTrack(album.tracks[k]).index1File) continue;
        album.tracks[k].range.endFrame = next.index1;
        if (next.index1 <= album.tracks[k].range.firstFrame) album.overlapping = true;
    }
}

}  // namespace

int CueAlbum::LastTrackNumber() const { return tracks.empty() ? 0 : SheetTrack(tracks.back()).number; }

std::optional<CueAlbum> ReadCueAlbum(const std::string& cuePath) {
    int error = 0;
    const auto text = ReadRegularFile(cuePath, kMaxCueBytes, error);
    if (!text) return std::nullopt;
    CueAlbum album;
    album.cuePath = cuePath;
    album.sheet = ParseCueSheet(*text);
    if (NamesRawSectors(album.sheet)) return std::nullopt;
    const auto slash = cuePath.rfind('/');
    CutTracks(album, slash == std::string::npos ? std::string() : cuePath.substr(0, slash + 1));
    if (album.tracks.empty() && !album.unreadableIndexLine) return std::nullopt;
    return album;
}

std::optional<std::pair<CueAlbum, std::size_t>> FindCueAlbumTrack(const SourceLocation& location) {
    if (!location.track) return std::nullopt;
    const std::filesystem::path folder = std::filesystem::path(location.file).parent_path();
    std::error_code error;
    std::vector<std::string> sheets;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (LowerExtension(entry.path().string()) == ".cue") sheets.push_back(entry.path().string());
    }
    // The same order whatever order the folder lists them in.
    std::sort(sheets.begin(), sheets.end());
    for (const std::string& sheet : sheets) {
        auto album = ReadCueAlbum(sheet);
        if (!album) continue;
        for (std::size_t i = 0; i < album->tracks.size(); ++i) {
            const CueAlbum::Track& track = album->tracks[i];
            if (track.audioFile == location.file && track.range.firstFrame == location.track->firstFrame &&
                track.range.endFrame == location.track->endFrame)
                return std::pair(std::move(*album), i);
        }
    }
    return std::nullopt;
}

}  // namespace tessival
