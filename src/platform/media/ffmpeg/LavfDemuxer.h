#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/IPin.h"
#include "platform/media/ffmpeg/AvLoggedErrors.h"
#include "platform/media/ffmpeg/AvPtr.h"

struct AVStream;

namespace tessival::media {

// A libavformat demuxer reading either through an upstream IAsyncReader (parsers behind "File
// Source (Async.)") or from a named file (sources loaded through IFileSourceFilter). It lists
// the audio and video streams with their media types and reads one packet at a time.
class LavfDemuxer {
public:
    struct Stream {
        int index = -1;  // the container's stream index
        bool video = false;
        MediaType type;
    };

    LavfDemuxer();
    ~LavfDemuxer();
    LavfDemuxer(const LavfDemuxer&) = delete;
    LavfDemuxer& operator=(const LavfDemuxer&) = delete;

    // formatName: the libavformat demuxer to use ("mpeg", "avi", ...); null lets it probe.
    HRESULT Open(std::shared_ptr<IAsyncReader> reader, const char* formatName);
    HRESULT OpenFile(const std::string& path, const char* formatName);
    void Close();
    bool IsOpen() const { return context_ != nullptr; }

    // Audio and video streams in file order.
    const std::vector<Stream>& Streams() const { return streams_; }
    // The length a decoder gives: the first audio stream's less the encoder's delay and padding
    // where the container counts them in (Ogg's pre-skip, an MP3's LAME figures), else the file's.
    REFERENCE_TIME Duration() const;
    // A cover image stored as a video stream.
    bool IsAttachedPicture(int index) const;
    // Reads only the packets of these container streams from now on; the demuxer skips the others.
    void ReadOnly(const std::vector<int>& indexes);
    // S_OK with the next packet of a listed stream, S_FALSE at the end, a failure code on a
    // read error. Damaged pieces are skipped (and counted); a stream that ends before any packet
    // was read fails with VFW_E_INVALID_FILE_FORMAT.
    HRESULT Read(int& streamIndex, MediaSample& sample);
    // The damaged pieces Read skipped since Open: failed reads, or the errors the demuxer logged
    // while it scanned past damage on its own, whichever are more.
    std::int64_t SkippedPackets() const { return std::max(skippedPackets_, loggedErrors_.Count()); }

private:
    HRESULT Finish(const char* formatName, const std::string& url);
    void ListStreams();
    // The samples at the first audio stream's start and end that decoders drop but the
    // container's duration counts.
    std::int64_t CountedTrim() const;
    const AVStream* FirstAudio() const;
    std::int64_t Mp3Trim() const;
    // Where an MP4 edit list ends the first audio stream, in its time base; none without one.
    std::int64_t EditListEnd() const;
    bool PastEditListEnd() const;
    // The samples of the packet read that the decoder gives past the edit list's end.
    std::uint32_t SamplesPastEditListEnd();
    bool Listed(int index) const;
    REFERENCE_TIME ToReferenceTime(std::int64_t ts, int index) const;
    HRESULT End() const;

    // Failed reads in a row after which a stream is taken to have ended.
    static constexpr int kMostFailuresInARow = 1000;

    std::shared_ptr<IAsyncReader> reader_;
    std::int64_t readerPosition_ = 0;
    HRESULT readError_ = S_OK;  // the reader's last failure, which libavformat turns into EIO
    AvIoContextPtr io_;  // before context_, which reads through it
    AvInputFormatPtr context_;
    AvPacketPtr packet_;
    std::vector<Stream> streams_;
    std::int64_t skippedPackets_ = 0;
    std::int64_t deliveredPackets_ = 0;
    std::int64_t countedTrim_ = 0;
    std::int64_t editListEnd_ = kNoEnd;
    std::int64_t longestPacket_ = 0;  // the stream's whole frame, in its time base
    AvLoggedErrors loggedErrors_;

    static constexpr std::int64_t kNoEnd = INT64_MAX;

    static int ReadPacket(void* opaque, std::uint8_t* buffer, int size);
    static std::int64_t Seek(void* opaque, std::int64_t offset, int whence);
};

}  // namespace tessival::media
