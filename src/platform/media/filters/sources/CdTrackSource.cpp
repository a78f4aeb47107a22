#include "platform/media/filters/sources/CdTrackSource.h"

#include <cstdio>

#include "platform/devices/CdDrives.h"
#include "platform/devices/CdTrackPath.h"
#include "platform/devices/DiscIds.h"
#include "platform/devices/RipSettings.h"
#include "platform/net/CddbEntry.h"
#include "platform/net/MusicBrainzRelease.h"

namespace tessival::media {
namespace {

constexpr Guid kCdTrackSourceClass{0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
constexpr WAVEFORMATEX kCdAudio = MakePcmFormat(44100, 2, 16);
// About a fifth of a second per sample: short steps keep Stop prompt.
constexpr int kSectorsPerSample = 16;

// A mixed-mode disc's data session may be mounted; its tracks are read from the drive itself.
std::string DeviceOf(const std::string& drive) {
    OpticalDrive found;
    if (SystemCdDrives().Find(drive, found)) return found.device;
    return drive;
}

void AddField(MediaTags& tags, const char* key, const std::string& value) {
    if (!value.empty()) tags.fields.emplace_back(key, value);
}

void FillIfEmpty(std::string& field, const std::string& value) {
    if (field.empty()) field = value;
}

// The entry gnudb (CDDB) keeps for the disc, for a disc MusicBrainz does not know.
void FillFromGnudb(const CdDisc& disc, const DiscIds& ids, int number, const std::string& baseUrl,
                   DiscTrackText& text) {
    if (ids.trackOffsets.empty()) return;
    const auto entry = CddbEntry::LookUp(baseUrl, {ids.freedb, ids.trackOffsets, ids.leadOutOffset / 75});
    if (!entry) return;
    FillIfEmpty(text.albumTitle, entry->album);
    FillIfEmpty(text.albumPerformer, entry->albumArtist);
    FillIfEmpty(text.date, entry->date);
    FillIfEmpty(text.genre, entry->genre);
    // CDDB counts every track of the disc, data tracks included.
    std::size_t position = 0;
    for (const DiscTrack& track : disc.Tracks()) {
        if (track.number == number && position < entry->tracks.size()) {
            FillIfEmpty(text.title, entry->tracks[position].title);
            FillIfEmpty(text.performer, entry->tracks[position].artist);
        }
        ++position;
    }
}

// What MusicBrainz knows of the disc fills what its CD-Text leaves out (pressed discs rarely
// carry CD-Text); gnudb answers for a disc it does not know.
void FillFromLookUps(const CdDisc& disc, int number, const RipSettings& settings, DiscTrackText& text) {
    const DiscIds ids = DiscIds::Of({disc.Source(), disc.Tracks(), disc.LeadOut()});
    if (ids.musicBrainz.empty()) return;
    const auto release = MusicBrainzRelease::LookUp(settings.musicBrainzUrl, ids.musicBrainz);
    if (!release) return FillFromGnudb(disc, ids, number, settings.gnudbUrl, text);
    FillIfEmpty(text.albumTitle, release->album);
    FillIfEmpty(text.albumPerformer, release->albumArtist);
    FillIfEmpty(text.date, release->date);
    std::size_t position = 0;
    for (const DiscTrack& track : disc.AudioTracks()) {
        if (track.number == number && position < release->tracks.size()) {
            FillIfEmpty(text.title, release->tracks[position].title);
            FillIfEmpty(text.performer, release->tracks[position].artist);
        }
        ++position;
    }
}

}  // namespace

MediaTags CdTrackSource::ReadTags(const std::string& path) {
    MediaTags tags;
    std::string drive;
    int number = 0;
    DiscProblem problem;
    if (!ParseTrackPath(path, drive, number)) return tags;
    const auto disc = CdDisc::Open(DeviceOf(drive), problem);
    if (!disc || !disc->FindAudioTrack(number)) return tags;
    DiscTrackText text = disc->TrackText(number);
    if (const RipSettings settings = RipSettings::Current(); settings.lookUp) FillFromLookUps(*disc, number, settings, text);
    AddField(tags, "title", text.title);
    // A disc of one artist often names them only once, for the whole disc.
    AddField(tags, "artist", text.performer.empty() ? text.albumPerformer : text.performer);
    AddField(tags, "album", text.albumTitle);
    AddField(tags, "album_artist", text.albumPerformer);
    AddField(tags, "track", std::to_string(number) + "/" + std::to_string(disc->AudioTracks().back().number));
    AddField(tags, "genre", text.genre);
    AddField(tags, "date", text.date);
    return tags;
}

CdTrackSource::CdTrackSource() : BaseFilter(kCdTrackSourceClass) {}

CdTrackSource::~CdTrackSource() { thread_.Stop(); }

FilterEntry CdTrackSource::Entry() {
    // Taken by name only; it has no input for automatic connection to offer it.
    return MakeFilterEntry(CLSID_LegacyAmFilterCategory, kCdTrackSourceClass, "WMP CD Filter", MERIT_DO_NOT_USE, {},
                           [] { return std::make_shared<CdTrackSource>(); });
}

HRESULT CdTrackSource::Load(const std::string& path, const MediaType*) {
    if (State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (reader_) return E_UNEXPECTED;  // a source holds one track for its life
    const HRESULT hr = OpenTrack(path);
    if (FAILED(hr)) {
        reader_.reset();
        disc_.reset();
        return hr;
    }
    path_ = path;
    output_ = &AddPin<OutputPin>("Output");
    return S_OK;
}

HRESULT CdTrackSource::OpenTrack(const std::string& path) {
    DiscProblem problem;
    std::string drive;
    int number = 0;
    if (!ParseTrackPath(path, drive, number)) {
        problem.kind = DiscProblem::Kind::NoSuchTrack;
        problem.source = path;
        Fail(problem);
        return VFW_E_NOT_FOUND;
    }
    disc_ = CdDisc::Open(DeviceOf(drive), problem);
    if (!disc_) {
        Fail(problem);
        return problem.kind == DiscProblem::Kind::NoDisc ? VFW_E_NOT_FOUND : VFW_E_INVALID_FILE_FORMAT;
    }
    const DiscTrack* track = disc_->FindAudioTrack(number);
    if (!track) {
        problem.kind = DiscProblem::Kind::NoSuchTrack;
        problem.track = number;
        Fail(problem);
        return VFW_E_NOT_FOUND;
    }
    if (DiscProblem before = disc_->TrackProblem(*track)) {
        Fail(before);
        return VFW_E_INVALID_FILE_FORMAT;
    }
    const RipSettings settings = RipSettings::Current();
    CdReadOptions options;
    options.readOffset = settings.readOffset;
    options.stopRequested = [this] { return thread_.StopRequested(); };
    reader_ = CdTrackReader::Open(*disc_, *track, options);
    if (reader_ && settings.testAndCopy) testReader_ = CdTrackReader::Open(*disc_, *track, options);
    if (!reader_ || (settings.testAndCopy && !testReader_)) {
        problem.kind = DiscProblem::Kind::BadImage;
        Fail(problem);
        return VFW_E_INVALID_FILE_FORMAT;
    }
    return S_OK;
}

HRESULT CdTrackSource::GetCurFile(std::string& path, MediaType* type) const {
    path = path_;
    if (type) *type = MediaType::Audio(kCdAudio);
    return path_.empty() ? E_FAIL : S_OK;
}

HRESULT CdTrackSource::GetMediaTypes(const BasePin& pin, std::vector<MediaType>& types) const {
    if (&pin == output_) types.push_back(MediaType::Audio(kCdAudio));
    return S_OK;
}

REFERENCE_TIME CdTrackSource::TimeOfSector(std::int64_t sector) const {
    return sector * CdDisc::kFramesPerSector * kUnitsPerSecond / kCdAudio.nSamplesPerSec;
}

HRESULT CdTrackSource::GetDuration(REFERENCE_TIME& duration) {
    if (!reader_) return E_UNEXPECTED;
    duration = TimeOfSector(reader_->Track().SectorCount());
    return S_OK;
}

HRESULT CdTrackSource::GetCurrentPosition(REFERENCE_TIME& position) {
    if (!reader_) return E_UNEXPECTED;
    position = TimeOfSector(sectorsRead_.load());
    return S_OK;
}

DiscProblem CdTrackSource::Problem() const {
    std::lock_guard lock(problemMutex_);
    return problem_;
}

void CdTrackSource::Fail(DiscProblem problem) {
    std::lock_guard lock(problemMutex_);
    problem_ = std::move(problem);
}

HRESULT CdTrackSource::OnStart() {
    if (reader_ && !ended_ && output_->IsConnected()) thread_.Start([this] { return StreamStep(); });
    return S_OK;
}

void CdTrackSource::OnHalt() { thread_.Stop(); }

std::optional<TrackRip> CdTrackSource::Rip() const {
    std::lock_guard lock(problemMutex_);
    return rip_;
}

// The test read: the track once through, for its CRC alone.
bool CdTrackSource::TestStep() {
    std::vector<std::uint8_t>& scratch = sample_.data;
    scratch.clear();
    const CdTrackReader::Status status = testReader_->Read(kSectorsPerSample, scratch);
    if (status == CdTrackReader::Status::Ok) return true;
    if (status == CdTrackReader::Status::End) {
        testCrc_ = testReader_->Checksums().Crc32();
        testReader_.reset();
        return true;
    }
    ended_ = true;
    Fail(testReader_->Unreadable(*disc_));
    ReportError(STG_E_READFAULT);
    return false;
}

// The track is read to its end: what the rip log needs, or the failure of a test that disagrees.
bool CdTrackSource::Finish() {
    TrackRip rip = reader_->Rip(*disc_);
    rip.testCrc = testCrc_;
    if (testCrc_ && *testCrc_ != rip.copyCrc) {
        char test[12], copy[12];
        std::snprintf(test, sizeof test, "%08X", *testCrc_);
        std::snprintf(copy, sizeof copy, "%08X", rip.copyCrc);
        DiscProblem problem;
        problem.kind = DiscProblem::Kind::TestCopyDiffer;
        problem.source = disc_->Source();
        problem.track = rip.number;
        problem.detail = test;
        problem.detail2 = copy;
        Fail(problem);
        return false;
    }
    std::lock_guard lock(problemMutex_);
    rip_ = std::move(rip);
    return true;
}

bool CdTrackSource::StreamStep() {
    if (testReader_) return TestStep();
    const std::int32_t before = reader_->SectorsRead();
    sample_.data.clear();
    const CdTrackReader::Status status = reader_->Read(kSectorsPerSample, sample_.data);
    const std::int32_t after = reader_->SectorsRead();
    sectorsRead_ = after;
    if (after > before) {
        sample_.start = TimeOfSector(before);
        sample_.stop = TimeOfSector(after);
        sample_.frameCount = static_cast<std::int64_t>(after - before) * CdDisc::kFramesPerSector;
        sample_.discontinuity = before == 0;
        const HRESULT hr = output_->Deliver(sample_);
        if (FAILED(hr)) {
            // A downstream filter stopping us meanwhile is not an error of the disc.
            if (!thread_.StopRequested()) ReportError(hr);
            ended_ = true;
            return false;
        }
    }
    if (status == CdTrackReader::Status::Ok) return true;
    ended_ = true;
    if (status == CdTrackReader::Status::End) {
        if (!Finish()) {
            ReportError(STG_E_READFAULT);
            return false;
        }
        const HRESULT hr = output_->DeliverEndOfStream();
        if (FAILED(hr)) ReportError(hr);
        return false;
    }
    Fail(reader_->Unreadable(*disc_));
    ReportError(STG_E_READFAULT);
    return false;
}

}  // namespace tessival::media
