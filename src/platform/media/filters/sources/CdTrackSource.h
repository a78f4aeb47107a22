#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "platform/devices/CdDisc.h"
#include "platform/devices/CdTrackReader.h"
#include "platform/devices/TrackRip.h"
#include "platform/media/BaseFilter.h"
#include "platform/media/FilterRegistry.h"
#include "platform/media/IDiscTrackStatus.h"
#include "platform/media/MediaTags.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/StreamingThread.h"

namespace tessival::media {

// "WMP CD Filter": one audio CD track, given as "<drive>/TrackNN.cda" through
// IFileSourceFilter::Load, where <drive> is a device node, a mixed-mode disc's mount point or a
// disc image. Its output pin "Output" carries PCM 44100 Hz, 2 channels, 16 bit: exactly the
// track's sectors from the table of contents (shifted by the read offset), read with full
// verification, and checksummed for the rip log. With test and copy on, the track is read once
// before it streams and the two reads' CRCs must agree. A sector that stays unreadable ends the
// graph with STG_E_READFAULT, and Problem() tells where.
class CdTrackSource : public BaseFilter, public IFileSourceFilter, public IMediaSeeking, public IDiscTrackStatus {
public:
    CdTrackSource();
    ~CdTrackSource() override;
    static FilterEntry Entry();
    // The tags of the track "<drive>/TrackNN.cda": its number of the disc's last audio track, and
    // what the disc's CD-Text says; nothing when the disc cannot be read.
    static MediaTags ReadTags(const std::string& path);

    HRESULT Load(const std::string& path, const MediaType* type) override;
    HRESULT GetCurFile(std::string& path, MediaType* type) const override;
    HRESULT GetMediaTypes(const BasePin& pin, std::vector<MediaType>& types) const override;
    HRESULT GetDuration(REFERENCE_TIME& duration) override;
    HRESULT GetCurrentPosition(REFERENCE_TIME& position) override;
    DiscProblem Problem() const override;
    std::optional<TrackRip> Rip() const override;

protected:
    HRESULT OnStart() override;
    void OnHalt() override;

private:
    HRESULT OpenTrack(const std::string& path);
    bool StreamStep();
    bool TestStep();
    bool Finish();
    void Fail(DiscProblem problem);
    REFERENCE_TIME TimeOfSector(std::int64_t sector) const;

    std::string path_;
    std::unique_ptr<CdDisc> disc_;
    std::unique_ptr<CdTrackReader> reader_;
    std::unique_ptr<CdTrackReader> testReader_;  // the first of two reads (test and copy), until it ends
    std::optional<std::uint32_t> testCrc_;
    OutputPin* output_ = nullptr;
    StreamingThread thread_;
    MediaSample sample_;
    std::atomic<std::int32_t> sectorsRead_{0};
    bool ended_ = false;
    mutable std::mutex problemMutex_;
    DiscProblem problem_;            // guarded by problemMutex_
    std::optional<TrackRip> rip_;    // guarded by problemMutex_
};

}  // namespace tessival::media
