#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/devices/CaptureSources.h"
#include "platform/media/BaseFilter.h"
#include "platform/media/CaptureStatus.h"
#include "platform/media/FilterRegistry.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/StreamingThread.h"

namespace tessival::media {

// The class of every audio capture device.
inline constexpr Guid CLSID_AudioRecord{0xE30629D2, 0x27E5, 0x11CE, {0x87, 0x5D, 0x00, 0x60, 0x8C, 0xB7, 0x80, 0x66}};

// An audio capture device: output pin "Capture" offering the device's own format first, then
// 16-bit PCM formats; one input pin per input line (or one for the device itself when it has no
// lines). While the graph runs, a streaming thread records and pushes what arrives downstream;
// the device's buffer holds a few seconds, so a slow chain loses audio only past that, and the
// loss is counted. When the device goes away the stream ends cleanly after what was recorded.
// Its position is the length recorded so far; a recording has no length before it ends.
class CaptureSourceFilter : public BaseFilter, public ICaptureStatus, public IMediaSeeking {
public:
    CaptureSourceFilter(std::shared_ptr<CaptureSources> sources, CaptureSourceInfo device);
    ~CaptureSourceFilter() override;

    // One entry per device the sources list now, named by its description.
    static std::vector<FilterEntry> Entries(const std::shared_ptr<CaptureSources>& sources);

    HRESULT GetMediaTypes(const BasePin& pin, std::vector<MediaType>& types) const override;

    // The input line's mixer: makes line the device's active line.
    HRESULT SelectLine(int line);
    bool IsLineActive(int line) const;

    std::int64_t DroppedFrames() const override { return droppedFrames_; }
    std::int64_t CapturedFrames() const override { return capturedFrames_; }
    std::string EndReason() const override;

    HRESULT GetDuration(REFERENCE_TIME& duration) override;
    HRESULT GetCurrentPosition(REFERENCE_TIME& position) override;

protected:
    HRESULT OnStart() override;
    void OnHalt() override;

private:
    bool StreamStep();
    void EndRecording(const std::string& reason);
    void TakeStreamCounts();

    std::shared_ptr<CaptureSources> sources_;
    CaptureSourceInfo device_;
    OutputPin& output_;
    CaptureFormat format_;
    std::unique_ptr<CaptureStream> stream_;
    StreamingThread thread_;
    std::vector<std::uint8_t> bytes_;
    bool ended_ = false;
    std::atomic<std::int64_t> droppedFrames_{0};
    std::atomic<std::int64_t> capturedFrames_{0};
    std::atomic<int> sampleRate_{0};  // of the recording, once it started; read by any thread
    mutable std::mutex mutex_;  // guards activePort_ and endReason_
    std::string activePort_;
    std::string endReason_;
};

}  // namespace tessival::media
