#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/media/FilterRegistry.h"
#include "platform/media/MediaTags.h"
#include "platform/media/TransformFilter.h"
#include "platform/media/ffmpeg/AvPtr.h"
#include "platform/media/filters/sinks/ByteStreamIo.h"
#include "platform/media/filters/sinks/FlacSeekTable.h"
#include "platform/media/filters/sinks/VorbisCommentFill.h"

struct AVStream;

namespace tessival::media {

// The byte stream of a muxed file, for "File Writer".
inline constexpr Guid MEDIASUBTYPE_MuxedFile{0x5E1F0C01, 0x7C3B, 0x4D21, {0x9A, 0x6E, 0x31, 0x0B, 0x8C, 0x4F, 0x22, 0x03}};

// A sink beside "WAV Dest" for a real container (MP3 with ID3v2, FLAC, Ogg, M4A): it muxes the
// encoder's packets with libavformat, with the source's tags and cover, and hands the bytes to
// "File Writer" at their offsets. The trailer is written at the end of the stream or when the graph
// stops, so a stopped conversion still leaves a playable file of the length written; one stopped
// before any audio was muxed leaves no file.
class MuxerDest : public TransformFilter, public ITagSink {
public:
    struct Kind {
        Guid clsid;
        const char* friendlyName;
        const char* muxer;
        // Ogg has no picture stream: pictures go in as METADATA_BLOCK_PICTURE comments.
        bool coverAsComment;
    };

    explicit MuxerDest(const Kind& kind);
    ~MuxerDest() override;

    static FilterEntry Mp3Entry();   // "MP3 File Dest"
    static FilterEntry FlacEntry();  // "FLAC File Dest"
    static FilterEntry OggEntry();   // "Ogg File Dest" (Vorbis and Opus)
    static FilterEntry M4aEntry();   // "M4A File Dest"

    void SetTags(const MediaTags& tags) override;
    // The ID3v2 version of MP3 files, 4 unless an older device needs 3; for the whole process.
    static void SetId3Version(int version);
    static int Id3Version();

protected:
    HRESULT CheckInput(const MediaType& type) const override;
    HRESULT OutputTypesFor(const MediaType& input, std::vector<MediaType>& types) const override;
    HRESULT StartStreaming() override;
    void StopStreaming() override;
    HRESULT Transform(MediaSample& sample) override;
    HRESULT Drain() override;

private:
    HRESULT OpenMuxer();
    // The Ogg stream's serial number, from the destination's path and what goes into the file
    // (codec setup, tags, cover), so that runs and workers write the same bytes.
    std::uint32_t StreamSerial() const;
    // The tags as each container wants them: Vorbis comments through a placeholder the muxer lays
    // out, an MP4 item list added to moov at the end, an ID3 tag of our own before the header.
    void SetUpTags(AVStream& audio);
    HRESULT FillComments();
    HRESULT FinishMoov(std::int64_t moovOffset);
    // Writes bytes over what is at offset and returns to the end.
    HRESULT Rewrite(std::int64_t offset, const std::vector<std::uint8_t>& bytes);
    // The cover and the other pictures, as picture streams (FLAC, M4A).
    HRESULT AddPictures();
    HRESULT WritePictures();
    HRESULT Finalise();
    void Close();
    // Tells "File Writer" to keep nothing of this run.
    void DiscardOutput();
    // FLAC's STREAMINFO counts the samples so far, so the header is right whenever the file ends.
    HRESULT AttachStreamInfo(AVPacket& packet, std::int64_t samplesSoFar, const MediaSample& sample);
    // Notes where a FLAC frame starts, for the seek table.
    void NoteFrame(std::int64_t sample, std::int64_t frames);
    // The seek table over the front of the padding block the muxer put before the first frame.
    HRESULT WriteSeekTable();

    const Kind& kind_;
    MediaTags tags_;
    std::unique_ptr<ByteStreamIo> io_;
    AvOutputFormatPtr format_;
    std::vector<std::pair<int, std::vector<std::uint8_t>>> pictureStreams_;  // stream index, picture bytes
    std::optional<VorbisCommentFill> commentFill_;
    std::vector<std::uint8_t> ilstItems_;
    bool finalised_ = true;
    std::int64_t audioPackets_ = 0;
    std::optional<std::array<std::uint8_t, 34>> streamInfo_;
    std::optional<FlacSeekTable> seekTable_;
    std::int64_t firstFrameOffset_ = -1;
    std::int64_t firstPts_ = 0;   // in samples: minus the priming
    std::int64_t sourceEnd_ = 0;  // where the last packet says the source ends
};

}  // namespace tessival::media
