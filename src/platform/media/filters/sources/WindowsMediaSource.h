#pragma once

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "platform/media/BaseFilter.h"
#include "platform/media/FilterRegistry.h"
#include "platform/media/IDamagedDataCount.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/StreamingThread.h"
#include "platform/media/ffmpeg/LavfDemuxer.h"

namespace tessival::media {

// "Windows Media source filter" and "WM ASF Reader": ASF, WMA and WMV files given through
// IFileSourceFilter::Load. One output per audio or video stream in file order ("Raw Audio 0",
// "Raw Video 1", ... after the stream's number), pushed on a streaming thread of their own.
class WindowsMediaSource : public BaseFilter, public IFileSourceFilter, public IMediaSeeking, public IDamagedDataCount {
public:
    explicit WindowsMediaSource(const Guid& clsid);

    static FilterEntry SourceFilterEntry();
    static FilterEntry AsfReaderEntry();

    HRESULT Load(const std::string& path, const MediaType* type) override;
    HRESULT GetCurFile(std::string& path, MediaType* type) const override;
    HRESULT GetMediaTypes(const BasePin& pin, std::vector<MediaType>& types) const override;
    HRESULT GetDuration(REFERENCE_TIME& duration) override;
    HRESULT GetCurrentPosition(REFERENCE_TIME& position) override;
    // Damaged pieces of the file skipped while reading.
    std::int64_t SkippedPackets() const override { return demuxer_.SkippedPackets(); }

protected:
    HRESULT OnStart() override;
    void OnHalt() override;

private:
    struct Output {
        int streamIndex;
        OutputPin* pin;
        MediaType type;
    };

    bool StreamStep();
    void EndAllOutputs();

    std::string path_;
    LavfDemuxer demuxer_;
    std::vector<Output> outputs_;
    StreamingThread thread_;
    MediaSample sample_;
    std::atomic<REFERENCE_TIME> position_{0};
    bool ended_ = false;
};

}  // namespace tessival::media
