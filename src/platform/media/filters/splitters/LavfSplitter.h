#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/media/FilterRegistry.h"
#include "platform/media/IDamagedDataCount.h"
#include "platform/media/SplitterFilter.h"
#include "platform/media/ffmpeg/LavfDemuxer.h"

namespace tessival::media {

// The container parsers on libavformat that read the "File Source (Async.)" pin:
// "MPEG-I Stream Splitter" (MPEG-1 system streams and Video CD files: "Video" then "Audio";
// MPEG audio files: "Audio"), "MPEG-2 Splitter" (program streams and DVD video objects: video,
// then audio) and "AVI Splitter" (every stream, "Stream 00", "Stream 01", ... in file order).
class LavfSplitter : public SplitterFilter, public IDamagedDataCount {
public:
    enum class Layout { VideoThenAudio, EveryStream };
    struct Profile {
        Guid clsid;
        std::vector<Guid> subtypes;  // byte streams read
        Layout layout = Layout::EveryStream;
    };

    explicit LavfSplitter(Profile profile);

    static FilterEntry MpegOneEntry();
    static FilterEntry MpegTwoEntry();
    static FilterEntry AviEntry();

    // Damaged pieces of the container skipped while reading.
    std::int64_t SkippedPackets() const override { return demuxer_.SkippedPackets(); }

protected:
    bool AcceptsStream(const MediaType& type) const override;
    HRESULT OpenStream(IAsyncReader& reader) override;
    void CloseStream() override;
    HRESULT DeliverNext() override;
    HRESULT OnStart() override;

private:
    static FilterEntry EntryFor(const char* name, Profile profile);
    const char* FormatFor(const Guid& subtype) const;
    void AddVideoThenAudio();
    void AddEveryStream();

    Profile profile_;
    LavfDemuxer demuxer_;
    std::vector<std::pair<int, OutputPin*>> outputs_;  // container stream index -> pin
    MediaSample sample_;
};

}  // namespace tessival::media
