#include "platform/media/filters/capture/CaptureSourceFilter.h"

#include <algorithm>

#include "platform/media/filters/capture/CaptureLinePin.h"

namespace tessival::media {
namespace {

// How much recorded audio may wait for a slow chain before the newest is dropped.
constexpr std::uint32_t kBufferSeconds = 4;
// How long one streaming step waits for audio, so that a stop is noticed promptly.
constexpr std::chrono::milliseconds kReadWait{50};

WAVEFORMATEX WaveFormatOf(const CaptureFormat& format) {
    WAVEFORMATEX wave = MakePcmFormat(format.sampleRate, format.channels, format.bitsPerSample);
    if (format.isFloat) wave.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    return wave;
}

CaptureFormat CaptureFormatOf(const WAVEFORMATEX& wave) {
    CaptureFormat format;
    format.sampleRate = wave.nSamplesPerSec;
    format.channels = wave.nChannels;
    format.bitsPerSample = wave.wBitsPerSample;
    format.isFloat = wave.wFormatTag == WAVE_FORMAT_IEEE_FLOAT;
    return format;
}

}  // namespace

CaptureSourceFilter::CaptureSourceFilter(std::shared_ptr<CaptureSources> sources, CaptureSourceInfo device)
    : BaseFilter(CLSID_AudioRecord),
      sources_(std::move(sources)),
      device_(std::move(device)),
      output_(AddPin<OutputPin>("Capture")),
      activePort_(device_.activePort) {
    if (device_.ports.empty()) {
        AddPin<CaptureLinePin>(*this, device_.description, 0);
        return;
    }
    for (std::size_t i = 0; i < device_.ports.size(); ++i) {
        const CapturePort& port = device_.ports[i];
        AddPin<CaptureLinePin>(*this, port.description.empty() ? port.name : port.description, static_cast<int>(i));
    }
}

CaptureSourceFilter::~CaptureSourceFilter() { thread_.Stop(); }

std::vector<FilterEntry> CaptureSourceFilter::Entries(const std::shared_ptr<CaptureSources>& sources) {
    std::vector<FilterEntry> entries;
    if (!sources) return entries;
    for (CaptureSourceInfo& device : sources->ListSources()) {
        std::string name = device.description;
        entries.push_back(MakeFilterEntry(CLSID_AudioInputDeviceCategory, CLSID_AudioRecord, std::move(name),
                                          MERIT_DO_NOT_USE, {}, [sources, device] {
                                              return std::make_shared<CaptureSourceFilter>(sources, device);
                                          }));
    }
    return entries;
}

HRESULT CaptureSourceFilter::GetMediaTypes(const BasePin& pin, std::vector<MediaType>& types) const {
    if (&pin != &output_) return S_OK;
    const CaptureFormat native = device_.nativeFormat;
    const std::vector<WAVEFORMATEX> formats = {
        WaveFormatOf(native),
        MakePcmFormat(native.sampleRate, native.channels, 16),
        MakePcmFormat(44100, 2, 16),
        MakePcmFormat(48000, 2, 16),
        MakePcmFormat(44100, 1, 16),
        MakePcmFormat(22050, 1, 16),
    };
    for (const WAVEFORMATEX& format : formats) {
        MediaType type = MediaType::Audio(format);
        if (std::find(types.begin(), types.end(), type) == types.end()) types.push_back(std::move(type));
    }
    return S_OK;
}

HRESULT CaptureSourceFilter::SelectLine(int line) {
    // A device without lines stands for its only input, which is always on.
    if (device_.ports.empty()) return line == 0 ? S_OK : E_INVALIDARG;
    if (line < 0 || line >= static_cast<int>(device_.ports.size())) return E_INVALIDARG;
    const std::string& port = device_.ports[static_cast<std::size_t>(line)].name;
    if (!sources_->SetActivePort(device_.name, port)) return E_FAIL;
    std::lock_guard lock(mutex_);
    activePort_ = port;
    return S_OK;
}

bool CaptureSourceFilter::IsLineActive(int line) const {
    if (device_.ports.empty()) return line == 0;
    if (line < 0 || line >= static_cast<int>(device_.ports.size())) return false;
    std::lock_guard lock(mutex_);
    return device_.ports[static_cast<std::size_t>(line)].name == activePort_;
}

std::string CaptureSourceFilter::EndReason() const {
    std::lock_guard lock(mutex_);
    return endReason_;
}

HRESULT CaptureSourceFilter::GetDuration(REFERENCE_TIME&) { return E_NOTIMPL; }

HRESULT CaptureSourceFilter::GetCurrentPosition(REFERENCE_TIME& position) {
    const int rate = sampleRate_;
    if (rate <= 0) return E_UNEXPECTED;
    position = capturedFrames_ * kUnitsPerSecond / rate;
    return S_OK;
}

HRESULT CaptureSourceFilter::OnStart() {
    if (!output_.IsConnected() || ended_) return S_OK;
    const WAVEFORMATEX* wave = output_.CurrentType().WaveFormat();
    if (!wave) return VFW_E_INVALIDMEDIATYPE;
    format_ = CaptureFormatOf(*wave);
    sampleRate_ = format_.sampleRate;
    if (!stream_) stream_ = sources_->OpenStream(device_.name, format_, kBufferSeconds * wave->nAvgBytesPerSec);
    thread_.Start([this] { return StreamStep(); });
    return S_OK;
}

void CaptureSourceFilter::OnHalt() {
    thread_.Stop();
    TakeStreamCounts();
    // Pausing ends the recording; what arrived after the last delivery is not part of it.
    stream_.reset();
}

bool CaptureSourceFilter::StreamStep() {
    if (!stream_) {
        EndRecording("the capture device cannot be opened");
        return false;
    }
    switch (stream_->Read(bytes_, kReadWait)) {
    case CaptureStream::ReadResult::Timeout: return true;
    case CaptureStream::ReadResult::Ended:
        EndRecording(stream_->EndReason());
        return false;
    case CaptureStream::ReadResult::Data: break;
    }
    const std::int64_t frames = static_cast<std::int64_t>(bytes_.size() / format_.BytesPerFrame());
    const std::int64_t first = capturedFrames_;
    MediaSample sample;
    sample.data.swap(bytes_);
    sample.start = first * kUnitsPerSecond / format_.sampleRate;
    sample.stop = (first + frames) * kUnitsPerSecond / format_.sampleRate;
    sample.frameCount = frames;
    capturedFrames_ += frames;
    TakeStreamCounts();
    const HRESULT hr = output_.Deliver(sample);
    if (FAILED(hr)) {
        if (!thread_.StopRequested()) ReportError(hr);
        return false;
    }
    return true;
}

void CaptureSourceFilter::EndRecording(const std::string& reason) {
    ended_ = true;
    TakeStreamCounts();
    {
        std::lock_guard lock(mutex_);
        endReason_ = reason.empty() ? "the capture device stopped" : reason;
    }
    // End of stream closes the output cleanly, so what was recorded is kept.
    const HRESULT hr = output_.DeliverEndOfStream();
    if (FAILED(hr)) ReportError(hr);
}

void CaptureSourceFilter::TakeStreamCounts() {
    if (stream_ && format_.BytesPerFrame() > 0)
        droppedFrames_ = static_cast<std::int64_t>(stream_->DroppedBytes() / format_.BytesPerFrame());
}

}  // namespace tessival::media
