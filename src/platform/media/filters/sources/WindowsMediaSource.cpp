#include "platform/media/filters/sources/WindowsMediaSource.h"

#include <cstring>

namespace tessival::media {
namespace {

constexpr Guid kSourceFilterClass{0x6B6D0800, 0x9ADA, 0x11D0, {0xA5, 0x20, 0x00, 0xA0, 0xD1, 0x01, 0x29, 0xC0}};
constexpr Guid kAsfReaderClass{0x187463A0, 0x5BB7, 0x11D3, {0xAC, 0xBE, 0x00, 0x80, 0xC7, 0x5E, 0x24, 0x6E}};

bool IsAsf(std::span<const std::uint8_t> head) {
    static const std::uint8_t header[] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                          0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    return head.size() >= sizeof header && std::memcmp(head.data(), header, sizeof header) == 0;
}

FilterEntry EntryFor(const char* name, const Guid& clsid, std::uint32_t merit) {
    FilterEntry entry;
    entry.category = CLSID_LegacyAmFilterCategory;
    entry.clsid = clsid;
    entry.friendlyName = name;
    entry.merit = merit;
    entry.factory = [clsid] { return std::make_shared<WindowsMediaSource>(clsid); };
    entry.opensFile = [](const std::string&, std::span<const std::uint8_t> head) { return IsAsf(head); };
    return entry;
}

}  // namespace

WindowsMediaSource::WindowsMediaSource(const Guid& clsid) : BaseFilter(clsid) {}

FilterEntry WindowsMediaSource::SourceFilterEntry() {
    return EntryFor("Windows Media source filter", kSourceFilterClass, MERIT_NORMAL);
}

FilterEntry WindowsMediaSource::AsfReaderEntry() {
    return EntryFor("WM ASF Reader", kAsfReaderClass, MERIT_NORMAL + 1);
}

HRESULT WindowsMediaSource::Load(const std::string& path, const MediaType* type) {
    if (State() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (type) return VFW_E_TYPE_NOT_ACCEPTED;  // it cannot cut a stretch out of its file
    if (demuxer_.IsOpen()) return E_UNEXPECTED;  // a source holds one file for its life
    const HRESULT hr = demuxer_.OpenFile(path, "asf");
    if (FAILED(hr)) return hr;
    path_ = path;
    for (const auto& stream : demuxer_.Streams()) {
        const std::string name = (stream.video ? "Raw Video " : "Raw Audio ") + std::to_string(stream.index);
        outputs_.push_back({stream.index, &AddPin<OutputPin>(name), stream.type});
    }
    return S_OK;
}

HRESULT WindowsMediaSource::GetCurFile(std::string& path, MediaType* type) const {
    path = path_;
    if (type) *type = MediaType::Stream(MEDIASUBTYPE_Asf);
    return path_.empty() ? E_FAIL : S_OK;
}

HRESULT WindowsMediaSource::GetMediaTypes(const BasePin& pin, std::vector<MediaType>& types) const {
    for (const Output& output : outputs_)
        if (output.pin == &pin) types.push_back(output.type);
    return S_OK;
}

HRESULT WindowsMediaSource::GetDuration(REFERENCE_TIME& duration) {
    duration = demuxer_.Duration();
    return demuxer_.IsOpen() ? S_OK : E_UNEXPECTED;
}

HRESULT WindowsMediaSource::GetCurrentPosition(REFERENCE_TIME& position) {
    position = position_;
    return demuxer_.IsOpen() ? S_OK : E_UNEXPECTED;
}

HRESULT WindowsMediaSource::OnStart() {
    if (ended_) return S_OK;
    for (const Output& output : outputs_) {
        if (output.pin->IsConnected()) {
            thread_.Start([this] { return StreamStep(); });
            break;
        }
    }
    return S_OK;
}

void WindowsMediaSource::OnHalt() { thread_.Stop(); }

bool WindowsMediaSource::StreamStep() {
    int index = -1;
    HRESULT hr = demuxer_.Read(index, sample_);
    if (hr == S_OK) {
        if (sample_.start >= 0) position_ = sample_.start;
        for (const Output& output : outputs_)
            if (output.streamIndex == index && output.pin->IsConnected()) hr = output.pin->Deliver(sample_);
        if (SUCCEEDED(hr)) return true;
    }
    // A downstream filter stopping us meanwhile is not an error of the stream.
    if (FAILED(hr) && thread_.StopRequested()) return false;
    ended_ = true;
    if (FAILED(hr))
        ReportError(hr);
    else
        EndAllOutputs();
    return false;
}

void WindowsMediaSource::EndAllOutputs() {
    for (const Output& output : outputs_) {
        if (!output.pin->IsConnected()) continue;
        const HRESULT hr = output.pin->DeliverEndOfStream();
        if (FAILED(hr)) {
            ReportError(hr);
            return;
        }
    }
}

}  // namespace tessival::media
