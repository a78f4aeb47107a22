#include "platform/devices/NrgFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/io/UniqueFd.h"

namespace tessival {
namespace {

constexpr std::int32_t kTrackGapSectors = 150;
constexpr std::uint32_t kAudioMode = 7;
constexpr std::size_t kMostChunkBytes = 1 << 20;

std::uint64_t Be(const std::uint8_t* bytes, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
    return value;
}

bool ReadAt(int fd, std::int64_t offset, std::size_t size, std::vector<std::uint8_t>& bytes) {
    bytes.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, bytes.data() + done, size - done, offset + static_cast<off_t>(done));
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

// One entry of a track-at-once table: where the track's bytes lie in the image, their sector
// size by its mode, and its start counted without the gaps.
struct TaoTrack {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
    std::uint32_t mode = 0;
    std::uint32_t start = 0;
};

std::int64_t SectorBytesOfMode(std::uint32_t mode) {
    switch (mode) {
    case 0: case 2: return 2048;
    case 3: return 2336;
    case kAudioMode: return DiscLayout::kSectorBytes;
    default: return 0;
    }
}

// The chunks from the footer's offset to "END!": the track table of a track-at-once image, none
// for any other kind of image.
bool ReadTaoTable(int fd, std::int64_t size, std::vector<TaoTrack>& tracks) {
    std::vector<std::uint8_t> tail;
    if (size < 12 || !ReadAt(fd, size - 12, 12, tail)) return false;
    std::int64_t at = 0;
    if (Be(&tail[0], 4) == 0x4E455235) at = static_cast<std::int64_t>(Be(&tail[4], 8));       // "NER5"
    else if (Be(&tail[4], 4) == 0x4E45524F) at = static_cast<std::int64_t>(Be(&tail[8], 4));  // "NERO"
    else return false;
    std::vector<std::uint8_t> header, body;
    while (at >= 0 && at + 8 <= size) {
        if (!ReadAt(fd, at, 8, header)) return false;
        const std::uint64_t id = Be(&header[0], 4), length = Be(&header[4], 4);
        if (id == 0x454E4421) return !tracks.empty();  // "END!"
        if (length > kMostChunkBytes || !ReadAt(fd, at + 8, static_cast<std::size_t>(length), body)) return false;
        const bool etn2 = id == 0x45544E32, etnf = id == 0x45544E46;
        const std::size_t entry = etn2 ? 32 : 20;
        if (etn2 || etnf) {
            for (std::size_t k = 0; k + entry <= body.size(); k += entry) {
                const std::uint8_t* p = &body[k];
                tracks.push_back(etn2 ? TaoTrack{Be(p, 8), Be(p + 8, 8), static_cast<std::uint32_t>(Be(p + 16, 4)),
                                                 static_cast<std::uint32_t>(Be(p + 20, 4))}
                                      : TaoTrack{Be(p, 4), Be(p + 4, 4), static_cast<std::uint32_t>(Be(p + 8, 4)),
                                                 static_cast<std::uint32_t>(Be(p + 12, 4))});
            }
        }
        at += 8 + static_cast<std::int64_t>(length);
    }
    return false;
}

}  // namespace

bool ReadTrackAtOnceNrg(const std::string& path, DiscLayout& layout, DiscProblem& problem) {
    layout = DiscLayout{};
    problem = CheckImageFile(path, std::filesystem::path(path).filename().string());
    problem.source = path;
    if (problem) return false;
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    std::vector<TaoTrack> tracks;
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0 || !ReadTaoTable(fd.Get(), info.st_size, tracks) ||
        tracks.size() > 99)
        return false;
    layout.files.push_back({std::filesystem::path(path).filename().string(), path});
    std::int64_t discSector = 0;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const TaoTrack& entry = tracks[i];
        const std::int64_t sectorBytes = SectorBytesOfMode(entry.mode);
        const std::int64_t first = static_cast<std::int64_t>(entry.start) + static_cast<std::int64_t>(i) * kTrackGapSectors;
        if (!sectorBytes || first < discSector || entry.offset + entry.length > static_cast<std::uint64_t>(info.st_size)) {
            problem.kind = DiscProblem::Kind::BadImage;
            return false;
        }
        // The gap before the track: silence on the disc, not in the image.
        if (first > discSector)
            layout.segments.push_back({discSector * DiscLayout::kSectorBytes, (first - discSector) * DiscLayout::kSectorBytes,
                                       DiscLayout::Segment::kSilence, 0, false});
        const std::int64_t sectors = static_cast<std::int64_t>(entry.length) / sectorBytes;
        const bool audio = entry.mode == kAudioMode;
        layout.segments.push_back({first * DiscLayout::kSectorBytes, sectors * DiscLayout::kSectorBytes,
                                   audio ? 0 : DiscLayout::Segment::kData, static_cast<std::int64_t>(entry.offset), false});
        DiscLayout::Track track;
        track.number = static_cast<int>(i) + 1;
        track.audio = audio;
        track.firstSector = static_cast<std::int32_t>(first);
        layout.tracks.push_back(track);
        discSector = first + sectors;
    }
    for (std::size_t i = 0; i < layout.tracks.size(); ++i)
        layout.tracks[i].lastSector =
            (i + 1 < layout.tracks.size() ? layout.tracks[i + 1].firstSector : static_cast<std::int32_t>(discSector)) - 1;
    return true;
}

}  // namespace tessival
