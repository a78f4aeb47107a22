#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/media/ffmpeg/AvPtr.h"

struct AVMD5;

namespace tessival::media {

// A FLAC encoder on two threads. A FLAC frame carries nothing over from the frames before it
// but its number, so two libavcodec encoders take turns at runs of frames; the frames are
// renumbered, and the stream header's frame sizes, length and MD5 worked out here, which gives
// the bytes one encoder would have made. Used like avcodec_send_frame / avcodec_receive_packet
// from one thread; Receive waits only for a run that is being encoded.
class TwoThreadFlacEncoder {
public:
    using OpenEncoder = std::function<AvCodecContextPtr()>;
    // `lead`: an encoder opened as `open` opens them, for the stream's header; each thread opens
    // its own encoder as it starts. Null when `lead` is no FLAC encoder.
    static std::unique_ptr<TwoThreadFlacEncoder> Create(OpenEncoder open, const AVCodecContext& lead);
    ~TwoThreadFlacEncoder();
    TwoThreadFlacEncoder(const TwoThreadFlacEncoder&) = delete;
    TwoThreadFlacEncoder& operator=(const TwoThreadFlacEncoder&) = delete;

    // A frame of the encoders' format, or null at the end; FFmpeg's error codes.
    int Send(const AVFrame* frame);
    // The next packet in order: AVERROR(EAGAIN) while the next run is still being encoded and
    // there is room for more, AVERROR_EOF after the last. The last carries the final header.
    int Receive(AVPacket* packet);

private:
    struct Run {
        std::int64_t firstNumber = 0;
        std::vector<AvFramePtr> frames;
        std::vector<AvPacketPtr> packets;
        int error = 0;
        bool done = false;
    };

    TwoThreadFlacEncoder() = default;
    void Work();
    void Dispatch();
    bool TakeFinishedRun();
    int FinalPacket(AVPacket* packet);
    void HashSamples(const AVFrame& frame);

    OpenEncoder open_;
    std::vector<std::thread> threads_;
    std::unique_ptr<AVMD5, void (*)(AVMD5*)> md5_{nullptr, nullptr};
    std::vector<std::uint8_t> header_;  // the stream header the encoders made when opened
    int bits_ = 16;
    int channels_ = 0;

    std::shared_ptr<Run> filling_;
    std::int64_t framesSent_ = 0;
    std::int64_t samplesSent_ = 0;
    std::int64_t nextPts_ = 0;
    std::uint32_t smallestFrame_ = 0;
    std::uint32_t largestFrame_ = 0;
    bool flushed_ = false;
    bool finished_ = false;
    std::deque<AvPacketPtr> ready_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Run>> pending_;   // waiting for a thread
    std::deque<std::shared_ptr<Run>> inFlight_;  // every run not yet received, in order
    bool stopping_ = false;
};

}  // namespace tessival::media
