#include "platform/media/filters/splitters/LavfSplitter.h"

#include <algorithm>
#include <cstdio>

namespace tessival::media {

LavfSplitter::LavfSplitter(Profile profile) : SplitterFilter(profile.clsid, "Input"), profile_(std::move(profile)) {}

bool LavfSplitter::AcceptsStream(const MediaType& type) const {
    return std::find(profile_.subtypes.begin(), profile_.subtypes.end(), type.subtype) != profile_.subtypes.end();
}

const char* LavfSplitter::FormatFor(const Guid& subtype) const {
    if (subtype == MEDIASUBTYPE_MPEG1Audio) return "mp3";  // also reads layers I and II, and ID3 tags
    if (subtype == MEDIASUBTYPE_Avi) return "avi";
    return "mpeg";
}

HRESULT LavfSplitter::OpenStream(IAsyncReader&) {
    const HRESULT hr = demuxer_.Open(Reader(), FormatFor(InputType().subtype));
    if (FAILED(hr)) return hr;
    outputs_.clear();
    if (profile_.layout == Layout::VideoThenAudio)
        AddVideoThenAudio();
    else
        AddEveryStream();
    SetDuration(demuxer_.Duration());
    return outputs_.empty() ? VFW_E_INVALID_FILE_FORMAT : S_OK;
}

void LavfSplitter::AddVideoThenAudio() {
    const auto& streams = demuxer_.Streams();
    const auto video = std::find_if(streams.begin(), streams.end(), [](const auto& s) { return s.video; });
    const auto audio = std::find_if(streams.begin(), streams.end(), [](const auto& s) { return !s.video; });
    if (video != streams.end()) outputs_.emplace_back(video->index, &AddOutput("Video", video->type));
    if (audio != streams.end()) outputs_.emplace_back(audio->index, &AddOutput("Audio", audio->type));
}

void LavfSplitter::AddEveryStream() {
    for (const auto& stream : demuxer_.Streams()) {
        char name[16];
        std::snprintf(name, sizeof name, "Stream %02zu", outputs_.size());
        outputs_.emplace_back(stream.index, &AddOutput(name, stream.type));
    }
}

void LavfSplitter::CloseStream() {
    outputs_.clear();
    demuxer_.Close();
}

// Streams no connected pin takes are dropped inside the demuxer, before any parsing or copy.
HRESULT LavfSplitter::OnStart() {
    std::vector<int> consumed;
    for (const auto& [streamIndex, pin] : outputs_)
        if (pin->IsConnected()) consumed.push_back(streamIndex);
    demuxer_.ReadOnly(consumed);
    return SplitterFilter::OnStart();
}

HRESULT LavfSplitter::DeliverNext() {
    int index = -1;
    const HRESULT hr = demuxer_.Read(index, sample_);
    if (hr != S_OK) return hr;
    if (sample_.start >= 0) SetPosition(sample_.start);
    for (const auto& [streamIndex, pin] : outputs_)
        if (streamIndex == index) return DeliverTo(*pin, sample_);
    return S_OK;
}

FilterEntry LavfSplitter::EntryFor(const char* name, Profile profile) {
    FilterEntry entry;
    entry.category = CLSID_LegacyAmFilterCategory;
    entry.clsid = profile.clsid;
    entry.friendlyName = name;
    entry.merit = MERIT_NORMAL;
    for (const Guid& subtype : profile.subtypes) entry.inputTypes.push_back(MediaTypePattern(MEDIATYPE_Stream, subtype));
    entry.factory = [profile] { return std::make_shared<LavfSplitter>(profile); };
    return entry;
}

FilterEntry LavfSplitter::MpegOneEntry() {
    static constexpr Guid clsid{0x336475D0, 0x942A, 0x11CE, {0xA8, 0x70, 0x00, 0xAA, 0x00, 0x2F, 0xEA, 0xB5}};
    return EntryFor("MPEG-I Stream Splitter",
                    {clsid, {MEDIASUBTYPE_MPEG1System, MEDIASUBTYPE_MPEG1VideoCD, MEDIASUBTYPE_MPEG1Audio},
                     Layout::VideoThenAudio});
}

FilterEntry LavfSplitter::MpegTwoEntry() {
    static constexpr Guid clsid{0x3AE86B20, 0x7BE8, 0x11D1, {0xAB, 0xE6, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x75}};
    return EntryFor("MPEG-2 Splitter", {clsid, {MEDIASUBTYPE_MPEG2_PROGRAM}, Layout::VideoThenAudio});
}

FilterEntry LavfSplitter::AviEntry() {
    static constexpr Guid clsid{0x1B544C20, 0xFD0B, 0x11CE, {0x8C, 0x63, 0x00, 0xAA, 0x00, 0x44, 0xB5, 0x1E}};
    return EntryFor("AVI Splitter", {clsid, {MEDIASUBTYPE_Avi}, Layout::EveryStream});
}

}  // namespace tessival::media
