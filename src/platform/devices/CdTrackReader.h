#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/devices/CdDisc.h"

typedef struct cdrom_drive_s cdrom_drive_t;
typedef struct cdrom_paranoia_s cdrom_paranoia_t;

namespace tessival {

// Reads exactly the sectors of one audio track with cd-paranoia in full mode: every sector is
// verified against overlapping reads, jitter and scratches are repaired, and a sector that stays
// unreadable after the retries is reported, never skipped silently. Samples come as 16-bit
// stereo, 588 frames a sector, in host byte order. One thread at a time.
class CdTrackReader {
public:
    enum class Status { Ok, End, Unreadable };

    // Null when cd-paranoia cannot work with the disc.
    static std::unique_ptr<CdTrackReader> Open(CdDisc& disc, const DiscTrack& track);
    ~CdTrackReader();
    CdTrackReader(const CdTrackReader&) = delete;
    CdTrackReader& operator=(const CdTrackReader&) = delete;

    // Appends up to maxSectors sectors to out. Ok while sectors remain, End once the track is
    // read, Unreadable at a sector that cannot be read (see BadSector).
    Status Read(int maxSectors, std::vector<std::uint8_t>& out);

    const DiscTrack& Track() const { return track_; }
    // Sectors delivered so far.
    std::int32_t SectorsRead() const { return next_ - track_.firstSector; }
    // The unreadable sector, counted from the track's start.
    std::int32_t BadSector() const { return badSector_ - track_.firstSector; }

private:
    CdTrackReader(CdDisc& disc, const DiscTrack& track);
    bool ReadOneSector(std::vector<std::uint8_t>& out);
    static void Callback(long position, int event);

    CdDisc& disc_;
    DiscTrack track_;
    cdrom_drive_t* drive_ = nullptr;
    cdrom_paranoia_t* paranoia_ = nullptr;
    std::int32_t next_ = 0;
    std::int32_t badSector_ = -1;
    std::int32_t skippedSector_ = -1;  // set by the callback during a read
};

}  // namespace tessival
