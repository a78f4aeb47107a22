#include "platform/devices/CdTrackReader.h"

#include <cstring>

#include "platform/devices/ImageTrackReader.h"
#include "platform/devices/ParanoiaTrackReader.h"

namespace tessival {
namespace {

constexpr std::int64_t kSectorBytes = CdDisc::kBytesPerSector;

std::int64_t FloorDiv(std::int64_t value, std::int64_t by) {
    return value >= 0 ? value / by : -((-value + by - 1) / by);
}

bool IsFirstAudioTrack(const CdDisc& disc, const DiscTrack& track) {
    const auto audio = disc.AudioTracks();
    return !audio.empty() && audio.front().number == track.number;
}

bool IsLastAudioTrack(const CdDisc& disc, const DiscTrack& track) {
    const auto audio = disc.AudioTracks();
    return !audio.empty() && audio.back().number == track.number;
}

}  // namespace

std::unique_ptr<CdTrackReader> CdTrackReader::Open(CdDisc& disc, const DiscTrack& track, CdReadOptions options) {
    if (disc.Layout()) return ImageTrackReader::Open(disc, track, std::move(options));
    return ParanoiaTrackReader::Open(disc, track, std::move(options));
}

CdTrackReader::CdTrackReader(const CdDisc& disc, const DiscTrack& track, CdReadOptions options)
    : track_(track),
      options_(std::move(options)),
      readableEnd_(disc.LeadOut()),
      nextByte_(track.firstSector * kSectorBytes + static_cast<std::int64_t>(options_.readOffset) * 4),
      cache_(kSectorBytes),
      checksums_(static_cast<std::int64_t>(track.SectorCount()) * CdDisc::kFramesPerSector,
                 IsFirstAudioTrack(disc, track), IsLastAudioTrack(disc, track)) {}

CdTrackReader::~CdTrackReader() = default;

// Sectors outside the disc (before its start or past its lead-out, reached through the read
// offset) cannot be read by any drive; they count as silence, as rippers agree.
bool CdTrackReader::CachedSector(std::int32_t sector, const std::uint8_t*& data) {
    if (sector < 0 || sector >= readableEnd_) {
        static const std::vector<std::uint8_t> silence(kSectorBytes, 0);
        data = silence.data();
        return true;
    }
    if (sector != cachedSector_) {
        cachedSector_ = -1;
        if (!ReadDiscSector(sector, cache_.data())) return false;
        cachedSector_ = sector;
    }
    data = cache_.data();
    return true;
}

bool CdTrackReader::ReadTrackSector(std::uint8_t* out) {
    const std::int64_t first = FloorDiv(nextByte_, kSectorBytes);
    const std::size_t skip = static_cast<std::size_t>(nextByte_ - first * kSectorBytes);
    const std::uint8_t* data = nullptr;
    if (!CachedSector(static_cast<std::int32_t>(first), data)) return false;
    std::memcpy(out, data + skip, kSectorBytes - skip);
    if (skip > 0) {
        if (!CachedSector(static_cast<std::int32_t>(first + 1), data)) return false;
        std::memcpy(out + (kSectorBytes - skip), data, skip);
    }
    nextByte_ += kSectorBytes;
    return true;
}

CdTrackReader::Status CdTrackReader::Read(int maxSectors, std::vector<std::uint8_t>& out) {
    if (badSector_ >= 0) return Status::Unreadable;
    for (int i = 0; i < maxSectors && sectorsRead_ < track_.SectorCount(); ++i) {
        if (StopRequested()) return Status::Ok;
        const std::size_t at = out.size();
        out.resize(at + kSectorBytes);
        if (!ReadTrackSector(out.data() + at)) {
            out.resize(at);
            // A read given up because of a stop is no fault of the disc.
            if (StopRequested()) return Status::Ok;
            badSector_ = sectorsRead_;
            return Status::Unreadable;
        }
        checksums_.Add(out.data() + at, kSectorBytes);
        ++sectorsRead_;
    }
    return sectorsRead_ >= track_.SectorCount() ? Status::End : Status::Ok;
}

TrackRip CdTrackReader::Rip(const CdDisc& disc) const {
    TrackRip rip;
    rip.number = track_.number;
    rip.firstSector = track_.firstSector;
    rip.sectors = track_.SectorCount();
    rip.readOffset = options_.readOffset;
    rip.copyCrc = checksums_.Crc32();
    rip.accurateRipV1 = checksums_.AccurateRipV1();
    rip.accurateRipV2 = checksums_.AccurateRipV2();
    rip.stats = Stats();
    rip.disc = {disc.Source(), disc.Tracks(), disc.LeadOut()};
    return rip;
}

DiscProblem CdTrackReader::Unreadable(const CdDisc& disc) const {
    DiscProblem problem;
    problem.kind = DiscProblem::Kind::UnreadableSector;
    problem.source = disc.Source();
    problem.track = track_.number;
    problem.secondsIntoTrack = badSector_ / CdDisc::kSectorsPerSecond;
    return problem;
}

}  // namespace tessival
