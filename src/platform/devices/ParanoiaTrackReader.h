#pragma once

#include "platform/devices/CdTrackReader.h"

typedef struct cdrom_drive_s cdrom_drive_t;
typedef struct cdrom_paranoia_s cdrom_paranoia_t;

namespace tessival {

// Reads a track from a drive (or an image libcdio reads for us, such as .nrg) with cd-paranoia in
// full mode: every sector is verified against overlapping reads, jitter and scratches are
// repaired, and a sector that stays unreadable after the retries is reported. A stop request makes
// the drive's reads fail at once, so cd-paranoia gives up within its retries.
class ParanoiaTrackReader : public CdTrackReader {
public:
    static std::unique_ptr<CdTrackReader> Open(CdDisc& disc, const DiscTrack& track, CdReadOptions options);
    ~ParanoiaTrackReader() override;
    CdReadStats Stats() const override { return stats_; }

protected:
    bool ReadDiscSector(std::int32_t sector, std::uint8_t* out) override;

private:
    ParanoiaTrackReader(CdDisc& disc, const DiscTrack& track, CdReadOptions options);
    static void Callback(long position, int event);
    static long GuardedRead(cdrom_drive_t* drive, void* buffer, std::int32_t begin, long sectors);

    cdrom_drive_t* drive_ = nullptr;
    cdrom_paranoia_t* paranoia_ = nullptr;
    long (*driveRead_)(cdrom_drive_t*, void*, std::int32_t, long) = nullptr;
    std::int32_t lastReadable_ = -1;  // the last sector cd-paranoia knows the disc to hold
    std::int32_t next_ = -1;          // where cd-paranoia reads next
    bool skipped_ = false;            // set by the callback during a read
    bool abandoned_ = false;          // a stop came during a read: fail the drive's reads
    CdReadStats stats_;
};

}  // namespace tessival
