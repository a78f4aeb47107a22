#include "platform/devices/CdDisc.h"

#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <mutex>

#include "platform/devices/CueLayout.h"
#include "platform/devices/DiscImage.h"
#include "platform/devices/NrgFile.h"
#include "platform/devices/TocFile.h"
#include "platform/io/FileExtension.h"

namespace tessival {
namespace {

std::string TextField(const cdtext_t* text, cdtext_field_t field, int track) {
    const char* value = text ? cdtext_get_const(text, field, static_cast<track_t>(track)) : nullptr;
    return value ? value : std::string();
}

bool IsDeviceNode(const std::string& source, bool& exists) {
    struct stat info {};
    exists = ::stat(source.c_str(), &info) == 0;
    if (!exists) return source.rfind("/dev/", 0) == 0;
    return S_ISBLK(info.st_mode) || S_ISCHR(info.st_mode);
}

// False only when the drive says for certain that it holds no disc.
bool DriveMayHoldDisc(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const int status = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    ::close(fd);
    return status != CDS_NO_DISC && status != CDS_TRAY_OPEN;
}

// The first sector that the layout's files do not hold in full.
std::int32_t ReadableEndOf(const DiscLayout& layout) {
    for (const DiscLayout::Segment& segment : layout.segments) {
        if (segment.file < 0) continue;
        std::error_code error;
        const auto size = std::filesystem::file_size(layout.files[static_cast<std::size_t>(segment.file)].path, error);
        const std::int64_t available = error ? 0 : static_cast<std::int64_t>(size) - segment.fileOffset;
        if (available < segment.length)
            return static_cast<std::int32_t>((segment.discStart + std::max<std::int64_t>(0, available)) /
                                             DiscLayout::kSectorBytes);
    }
    return layout.EndSector();
}

}  // namespace

void SilenceLibcdio() {
    static std::once_flag once;
    std::call_once(once, [] { cdio_log_set_handler([](cdio_log_level_t, const char*) {}); });
}

CdDisc::CdDisc(std::string source, CdIo_t* handle) : source_(std::move(source)), handle_(handle) {}

CdDisc::~CdDisc() {
    if (handle_) cdio_destroy(handle_);
}

std::unique_ptr<CdDisc> CdDisc::Open(const std::string& source, DiscProblem& problem) {
    SilenceLibcdio();
    problem = DiscProblem{};
    problem.source = source;
    bool exists = false;
    const bool device = IsDeviceNode(source, exists);
    if (device && (!exists || !DriveMayHoldDisc(source))) {
        problem.kind = DiscProblem::Kind::NoDisc;
        return nullptr;
    }
    const std::string extension = LowerExtension(source);
    if (!device && (extension == ".cue" || extension == ".toc")) {
        auto layout = std::make_unique<DiscLayout>();
        const bool read = extension == ".cue" ? ReadCueSheet(source, *layout, problem)
                                              : ReadTocFile(source, *layout, problem);
        if (!read) {
            if (!problem) problem.kind = DiscProblem::Kind::BadImage;
            problem.source = source;
            return nullptr;
        }
        problem = DiscProblem{};
        problem.source = source;
        std::unique_ptr<CdDisc> disc(new CdDisc(source, nullptr));
        disc->TakeLayout(std::move(layout));
        return disc;
    }
    if (!device && extension == ".nrg") {
        // Nero's track-at-once images leave out the gaps between tracks, which libcdio cannot read.
        auto layout = std::make_unique<DiscLayout>();
        if (ReadTrackAtOnceNrg(source, *layout, problem)) {
            problem = DiscProblem{};
            problem.source = source;
            std::unique_ptr<CdDisc> disc(new CdDisc(source, nullptr));
            disc->TakeLayout(std::move(layout));
            return disc;
        }
        if (problem) return nullptr;
    }
    const DiscImage image(source);
    if (!device) {
        problem = image.CheckFiles();
        if (problem) return nullptr;
    }
    CdIo_t* handle = cdio_open(source.c_str(), DRIVER_UNKNOWN);
    std::unique_ptr<CdDisc> disc(handle ? new CdDisc(source, handle) : nullptr);
    if (!disc || !disc->ReadToc()) {
        problem.kind = device ? DiscProblem::Kind::NoDisc : DiscProblem::Kind::BadImage;
        return nullptr;
    }
    return disc;
}

void CdDisc::TakeLayout(std::unique_ptr<DiscLayout> layout) {
    layout_ = std::move(layout);
    for (const DiscLayout::Track& from : layout_->tracks) {
        DiscTrack track;
        track.number = from.number;
        track.audio = from.audio;
        track.firstSector = from.firstSector;
        track.lastSector = from.lastSector;
        tracks_.push_back(track);
    }
    leadOut_ = layout_->EndSector();
    readableEnd_ = ReadableEndOf(*layout_);
}

DiscProblem CdDisc::TrackProblem(const DiscTrack& track) const {
    DiscProblem problem;
    problem.source = source_;
    problem.track = track.number;
    if (layout_ && track.firstSector >= readableEnd_)
        problem.kind = DiscProblem::Kind::TrackPastEnd;
    else if (track.SectorCount() <= 0)
        problem.kind = DiscProblem::Kind::EmptyTrack;
    return problem;
}

bool CdDisc::ReadToc() {
    const track_t first = cdio_get_first_track_num(handle_);
    const track_t count = cdio_get_num_tracks(handle_);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) return false;
    readableEnd_ = cdio_get_track_lsn(handle_, CDIO_CDROM_LEADOUT_TRACK);
    if (readableEnd_ == CDIO_INVALID_LSN) return false;
    leadOut_ = readableEnd_;
    for (track_t number = first; number < first + count; ++number) {
        DiscTrack track;
        track.number = number;
        track.audio = cdio_get_track_format(handle_, number) == TRACK_FORMAT_AUDIO;
        track.firstSector = cdio_get_track_lsn(handle_, number);
        track.lastSector = cdio_get_track_last_lsn(handle_, number);
        if (track.firstSector == CDIO_INVALID_LSN) return false;
        // A track that starts past the end of a cut-short image: unreadable from its first sector.
        if (track.lastSector < track.firstSector) track.lastSector = track.firstSector;
        tracks_.push_back(track);
    }
    return true;
}

DiscTrackText CdDisc::TrackText(int number) const {
    DiscTrackText track;
    if (layout_) {
        for (const DiscLayout::Track& from : layout_->tracks) {
            if (from.number != number) continue;
            track.title = from.text.title;
            track.performer = from.text.performer;
            track.genre = from.text.genre;
        }
        track.albumTitle = layout_->discText.title;
        track.albumPerformer = layout_->discText.performer;
        if (track.genre.empty()) track.genre = layout_->discText.genre;
        track.date = layout_->date;
        return track;
    }
    const cdtext_t* text = cdio_get_cdtext(handle_);
    if (!text) return track;
    track.title = TextField(text, CDTEXT_FIELD_TITLE, number);
    track.performer = TextField(text, CDTEXT_FIELD_PERFORMER, number);
    // Track 0 holds what is said of the whole disc.
    track.albumTitle = TextField(text, CDTEXT_FIELD_TITLE, 0);
    track.albumPerformer = TextField(text, CDTEXT_FIELD_PERFORMER, 0);
    track.genre = TextField(text, CDTEXT_FIELD_GENRE, number);
    if (track.genre.empty()) track.genre = TextField(text, CDTEXT_FIELD_GENRE, 0);
    const cdtext_genre_t code = cdtext_get_genre(text);
    if (track.genre.empty() && code != CDTEXT_GENRE_UNUSED && code != CDTEXT_GENRE_UNDEFINED)
        track.genre = cdtext_genre2str(code);
    return track;
}

std::vector<DiscTrack> CdDisc::AudioTracks() const {
    std::vector<DiscTrack> audio;
    for (const DiscTrack& track : tracks_)
        if (track.audio) audio.push_back(track);
    return audio;
}

const DiscTrack* CdDisc::FindAudioTrack(int number) const {
    for (const DiscTrack& track : tracks_)
        if (track.number == number && track.audio) return &track;
    return nullptr;
}

}  // namespace tessival
