#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/devices/CdDisc.h"
#include "platform/devices/RipChecksums.h"
#include "platform/devices/TrackRip.h"

namespace tessival {

// How a track is read: the drive's read offset in samples (what it delivers lies that far before
// what it was asked for, so reading looks that far ahead), and a stop request that ends a read
// between sectors and inside a drive's retries.
struct CdReadOptions {
    int readOffset = 0;
    std::function<bool()> stopRequested;
};

// Reads exactly the samples of one audio track, shifted by the read offset (samples beyond the
// disc's readable sectors are silence), and checksums them while reading. Samples come as 16-bit
// stereo, 588 frames a sector, little-endian. A sector that cannot be read ends the track as
// Unreadable, never skipped silently; the end of an image's data ends it at once. One thread at a
// time.
class CdTrackReader {
public:
    enum class Status { Ok, End, Unreadable };

    // Null when the disc cannot be read this way.
    static std::unique_ptr<CdTrackReader> Open(CdDisc& disc, const DiscTrack& track, CdReadOptions options = {});
    virtual ~CdTrackReader();
    CdTrackReader(const CdTrackReader&) = delete;
    CdTrackReader& operator=(const CdTrackReader&) = delete;

    // Appends up to maxSectors sectors to out. Ok while sectors remain (fewer may come once a stop
    // is requested), End once the track is read, Unreadable at a sector that cannot be read (see
    // BadSector).
    Status Read(int maxSectors, std::vector<std::uint8_t>& out);

    const DiscTrack& Track() const { return track_; }
    // Sectors delivered so far.
    std::int32_t SectorsRead() const { return sectorsRead_; }
    // The unreadable sector, counted from the track's start.
    std::int32_t BadSector() const { return badSector_; }
    const RipChecksums& Checksums() const { return checksums_; }
    virtual CdReadStats Stats() const { return {}; }
    // What the read gave, for the rip log; meaningful once Read returned End.
    TrackRip Rip(const CdDisc& disc) const;
    // Why the read stopped at BadSector.
    DiscProblem Unreadable(const CdDisc& disc) const;

protected:
    CdTrackReader(const CdDisc& disc, const DiscTrack& track, CdReadOptions options);
    // Reads one sector of the disc (CdDisc::kBytesPerSector bytes, little-endian samples); false
    // when it cannot be read. Called for ascending sectors.
    virtual bool ReadDiscSector(std::int32_t sector, std::uint8_t* out) = 0;
    bool StopRequested() const { return options_.stopRequested && options_.stopRequested(); }

    DiscTrack track_;

private:
    bool ReadTrackSector(std::uint8_t* out);
    bool CachedSector(std::int32_t sector, const std::uint8_t*& data);

    CdReadOptions options_;
    std::int32_t readableEnd_;
    std::int64_t nextByte_;  // the disc byte the next track byte comes from
    std::int32_t sectorsRead_ = 0;
    std::int32_t badSector_ = -1;
    std::int32_t cachedSector_ = -1;
    std::vector<std::uint8_t> cache_;
    RipChecksums checksums_;
};

}  // namespace tessival
