#include "platform/devices/ParanoiaTrackReader.h"

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <cstring>

namespace tessival {
namespace {

// cd-paranoia's own default: retries before a sector counts as unreadable.
constexpr int kRetries = 20;

// cd-paranoia's callback and the drive's read function carry no user pointer; the reader reading
// on this thread takes them.
thread_local ParanoiaTrackReader* currentReader = nullptr;

}  // namespace

ParanoiaTrackReader::ParanoiaTrackReader(CdDisc& disc, const DiscTrack& track, CdReadOptions options)
    : CdTrackReader(disc, track, std::move(options)) {}

ParanoiaTrackReader::~ParanoiaTrackReader() {
    if (paranoia_) cdio_paranoia_free(paranoia_);
    if (drive_) cdio_cddap_close_no_free_cdio(drive_);
}

std::unique_ptr<CdTrackReader> ParanoiaTrackReader::Open(CdDisc& disc, const DiscTrack& track,
                                                         CdReadOptions options) {
    if (!disc.Handle()) return nullptr;
    std::unique_ptr<ParanoiaTrackReader> reader(new ParanoiaTrackReader(disc, track, std::move(options)));
    reader->drive_ = cdio_cddap_identify_cdio(disc.Handle(), CDDA_MESSAGE_FORGETIT, nullptr);
    if (!reader->drive_ || cdio_cddap_open(reader->drive_) != 0) return nullptr;
    // Drives and libcdio's images deliver little-endian samples; cd-paranoia's guess from the
    // first sectors can take quiet or unusual audio for big-endian and swap every sample.
    reader->drive_->bigendianp = 0;
    reader->driveRead_ = reader->drive_->read_audio;
    reader->drive_->read_audio = [](cdrom_drive_t* drive, void* buffer, lsn_t begin, long sectors) {
        return GuardedRead(drive, buffer, begin, sectors);
    };
    // cd-paranoia never reads past what it takes for the disc's (or, on a CD-Extra disc, the
    // audio session's) end and would retry there for ever: those sectors fail at once here.
    reader->lastReadable_ = cdio_cddap_disc_lastsector(reader->drive_);
    if (reader->drive_->cd_extra > 0) {
        const lsn_t sessionEnd = cdio_cddap_track_lastsector(reader->drive_, static_cast<track_t>(track.number));
        if (sessionEnd < reader->track_.lastSector) {
            if (sessionEnd >= track.firstSector) reader->track_.lastSector = sessionEnd;
            else reader->lastReadable_ = std::min<std::int32_t>(reader->lastReadable_, sessionEnd);
        }
    }
    reader->paranoia_ = cdio_paranoia_init(reader->drive_);
    if (!reader->paranoia_) return nullptr;
    // Full paranoia; without "never skip" a hopeless sector ends the retries instead of looping
    // forever, and the skip is caught below.
    cdio_paranoia_modeset(reader->paranoia_, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    return reader;
}

void ParanoiaTrackReader::Callback(long, int event) {
    ParanoiaTrackReader* reader = currentReader;
    if (!reader) return;
    if (event == PARANOIA_CB_READ) ++reader->stats_.reads;
    if (event == PARANOIA_CB_FIXUP_EDGE || event == PARANOIA_CB_FIXUP_ATOM || event == PARANOIA_CB_REPAIR)
        ++reader->stats_.fixups;
    if (event == PARANOIA_CB_SKIP) reader->skipped_ = true;
    if (reader->StopRequested()) reader->abandoned_ = true;
}

long ParanoiaTrackReader::GuardedRead(cdrom_drive_t* drive, void* buffer, std::int32_t begin, long sectors) {
    ParanoiaTrackReader* reader = currentReader;
    if (!reader || reader->abandoned_ || reader->StopRequested()) return -1;
    if (begin > reader->lastReadable_) return -1;
    if (begin + sectors - 1 > reader->lastReadable_) sectors = reader->lastReadable_ - begin + 1;
    return reader->driveRead_(drive, buffer, begin, sectors);
}

bool ParanoiaTrackReader::ReadDiscSector(std::int32_t sector, std::uint8_t* out) {
    if (sector > lastReadable_ || abandoned_) return false;
    if (sector != next_) cdio_paranoia_seek(paranoia_, sector, SEEK_SET);
    skipped_ = false;
    currentReader = this;
    const std::int16_t* samples = cdio_paranoia_read_limited(
        paranoia_, [](long position, paranoia_cb_mode_t event) { Callback(position, event); }, kRetries);
    currentReader = nullptr;
    next_ = sector + 1;
    if (!samples || skipped_ || abandoned_) {
        if (skipped_) ++stats_.skips;
        next_ = -1;
        return false;
    }
    std::memcpy(out, samples, CdDisc::kBytesPerSector);
    return true;
}

}  // namespace tessival
