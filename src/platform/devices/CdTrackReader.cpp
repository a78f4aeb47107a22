#include "platform/devices/CdTrackReader.h"

#include <cdio/cdio.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <cstring>

namespace tessival {
namespace {

// cd-paranoia's own default: retries before a sector counts as unreadable.
constexpr int kRetries = 20;

// cd-paranoia's callback carries no user pointer; the reader reading on this thread takes it.
thread_local CdTrackReader* currentReader = nullptr;

}  // namespace

CdTrackReader::CdTrackReader(CdDisc& disc, const DiscTrack& track)
    : disc_(disc), track_(track), next_(track.firstSector) {}

CdTrackReader::~CdTrackReader() {
    if (paranoia_) cdio_paranoia_free(paranoia_);
    if (drive_) cdio_cddap_close_no_free_cdio(drive_);
}

std::unique_ptr<CdTrackReader> CdTrackReader::Open(CdDisc& disc, const DiscTrack& track) {
    std::unique_ptr<CdTrackReader> reader(new CdTrackReader(disc, track));
    reader->drive_ = cdio_cddap_identify_cdio(disc.Handle(), CDDA_MESSAGE_FORGETIT, nullptr);
    if (!reader->drive_ || cdio_cddap_open(reader->drive_) != 0) return nullptr;
    // Drives and BINARY images deliver little-endian samples; cd-paranoia's guess from the
    // first sectors can take quiet or unusual audio for big-endian and swap every sample.
    reader->drive_->bigendianp = 0;
    // On a CD-Extra disc the last audio track ends with the first session, not where the data
    // session's track starts: cd-paranoia knows from the session info.
    if (reader->drive_->cd_extra > 0) {
        const lsn_t sessionEnd = cdio_cddap_track_lastsector(reader->drive_, static_cast<track_t>(track.number));
        if (sessionEnd >= track.firstSector && sessionEnd < reader->track_.lastSector)
            reader->track_.lastSector = sessionEnd;
    }
    reader->paranoia_ = cdio_paranoia_init(reader->drive_);
    if (!reader->paranoia_) return nullptr;
    // Full paranoia; without "never skip" a hopeless sector ends the retries instead of looping
    // forever, and the skip is caught below.
    cdio_paranoia_modeset(reader->paranoia_, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    cdio_paranoia_seek(reader->paranoia_, track.firstSector, SEEK_SET);
    return reader;
}

void CdTrackReader::Callback(long position, int event) {
    CdTrackReader* reader = currentReader;
    if (!reader || event != PARANOIA_CB_SKIP || reader->skippedSector_ >= 0) return;
    reader->skippedSector_ = static_cast<std::int32_t>(position / CD_FRAMEWORDS);
}

bool CdTrackReader::ReadOneSector(std::vector<std::uint8_t>& out) {
    // Sectors past the medium's end (a cut-short image) hold nothing to verify.
    if (next_ >= disc_.ReadableEnd()) {
        badSector_ = next_;
        return false;
    }
    skippedSector_ = -1;
    currentReader = this;
    const std::int16_t* samples = cdio_paranoia_read_limited(
        paranoia_, [](long position, paranoia_cb_mode_t event) { Callback(position, event); }, kRetries);
    currentReader = nullptr;
    if (!samples || skippedSector_ >= 0) {
        badSector_ = skippedSector_ >= next_ ? skippedSector_ : next_;
        return false;
    }
    const std::size_t at = out.size();
    out.resize(at + CdDisc::kBytesPerSector);
    std::memcpy(out.data() + at, samples, CdDisc::kBytesPerSector);
    ++next_;
    return true;
}

CdTrackReader::Status CdTrackReader::Read(int maxSectors, std::vector<std::uint8_t>& out) {
    if (badSector_ >= 0) return Status::Unreadable;
    for (int i = 0; i < maxSectors; ++i) {
        if (next_ > track_.lastSector) return Status::End;
        if (!ReadOneSector(out)) return Status::Unreadable;
    }
    return next_ > track_.lastSector ? Status::End : Status::Ok;
}

}  // namespace tessival
