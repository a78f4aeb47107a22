#include "platform/media/ffmpeg/TwoThreadFlacEncoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/bswap.h>
#include <libavutil/crc.h>
#include <libavutil/md5.h>
#include <libavutil/mem.h>
}

namespace tessival::media {
namespace {

// About a second and a half of audio a run at level 5: long enough that handing runs over
// costs nothing, short enough that a stop waits for little.
constexpr std::size_t kFramesPerRun = 16;
// Each thread encodes one run with the next waiting behind it.
constexpr std::size_t kRunsInFlight = 4;
constexpr std::size_t kStreamInfoSize = 34;
constexpr std::size_t kMd5Offset = 18;

void PutBigEndian(std::uint8_t* at, std::uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i, value >>= 8) at[i] = static_cast<std::uint8_t>(value);
}

// A frame number in FLAC's UTF-8-like code.
std::vector<std::uint8_t> CodedNumber(std::uint64_t number) {
    if (number < 0x80) return {static_cast<std::uint8_t>(number)};
    int bytes = 2;
    while (bytes < 7 && number >= (std::uint64_t{1} << (5 * bytes + 1))) ++bytes;
    std::vector<std::uint8_t> coded(static_cast<std::size_t>(bytes));
    coded[0] = static_cast<std::uint8_t>(((0xFF00 >> bytes) & 0xFF) | (number >> (6 * (bytes - 1))));
    for (int i = 1; i < bytes; ++i) {
        const int shift = 6 * (bytes - 1 - i);
        coded[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0x80 | ((number >> shift) & 0x3F));
    }
    return coded;
}

std::size_t CodedNumberLength(std::uint8_t first) {
    if (first < 0x80) return 1;
    return static_cast<std::size_t>(std::countl_one(first));
}

// The header fields after the frame number: a block size or sample rate that does not fit its code.
std::size_t TrailingHeaderBytes(std::uint8_t codes) {
    const int blockSize = codes >> 4;
    const int sampleRate = codes & 0x0F;
    return (blockSize == 6 ? 1 : blockSize == 7 ? 2 : 0) + (sampleRate == 12 ? 1 : sampleRate > 12 ? 2 : 0);
}

// The frame in `in` under another number, its two checksums made anew.
int Renumbered(const AVPacket& in, std::uint64_t number, AVPacket& out) {
    constexpr std::size_t kNumberAt = 4;
    const auto size = static_cast<std::size_t>(in.size);
    if (size < kNumberAt + 4) return AVERROR_INVALIDDATA;
    const std::size_t oldLength = CodedNumberLength(in.data[kNumberAt]);
    const std::size_t crc8At = kNumberAt + oldLength + TrailingHeaderBytes(in.data[2]);
    if (oldLength > 7 || crc8At + 3 > size) return AVERROR_INVALIDDATA;
    const std::vector<std::uint8_t> coded = CodedNumber(number);
    const std::size_t newSize = size - oldLength + coded.size();
    int ret = av_new_packet(&out, static_cast<int>(newSize));
    if (ret < 0) return ret;
    if ((ret = av_packet_copy_props(&out, &in)) < 0) return ret;
    std::uint8_t* at = out.data;
    at = std::copy_n(in.data, kNumberAt, at);
    at = std::copy(coded.begin(), coded.end(), at);
    at = std::copy(in.data + kNumberAt + oldLength, in.data + crc8At, at);
    const auto headerSize = static_cast<std::size_t>(at - out.data);
    *at++ = static_cast<std::uint8_t>(av_crc(av_crc_get_table(AV_CRC_8_ATM), 0, out.data, headerSize));
    at = std::copy(in.data + crc8At + 1, in.data + size - 2, at);
    const auto crc16 = av_bswap16(static_cast<std::uint16_t>(
        av_crc(av_crc_get_table(AV_CRC_16_ANSI), 0, out.data, newSize - 2)));
    at[0] = static_cast<std::uint8_t>(crc16 >> 8);
    at[1] = static_cast<std::uint8_t>(crc16);
    return 0;
}

int EncodeRun(AVCodecContext& context, std::int64_t firstNumber, std::vector<AvFramePtr>& frames,
              std::vector<AvPacketPtr>& packets) {
    AvPacketPtr encoded(av_packet_alloc());
    if (!encoded) return AVERROR(ENOMEM);
    for (const AvFramePtr& frame : frames) {
        int ret = avcodec_send_frame(&context, frame.get());
        if (ret < 0) return ret;
        while ((ret = avcodec_receive_packet(&context, encoded.get())) >= 0) {
            AvPacketPtr numbered(av_packet_alloc());
            if (!numbered) return AVERROR(ENOMEM);
            ret = Renumbered(*encoded, static_cast<std::uint64_t>(firstNumber) + packets.size(), *numbered);
            av_packet_unref(encoded.get());
            if (ret < 0) return ret;
            packets.push_back(std::move(numbered));
        }
        if (ret != AVERROR(EAGAIN)) return ret;
    }
    frames.clear();
    return 0;
}

}  // namespace

std::unique_ptr<TwoThreadFlacEncoder> TwoThreadFlacEncoder::Create(OpenEncoder open, const AVCodecContext& lead) {
    if (lead.codec_id != AV_CODEC_ID_FLAC || lead.extradata_size < static_cast<int>(kStreamInfoSize)) return nullptr;
    std::unique_ptr<TwoThreadFlacEncoder> encoder(new TwoThreadFlacEncoder);
    encoder->open_ = std::move(open);
    encoder->header_.assign(lead.extradata, lead.extradata + kStreamInfoSize);
    encoder->bits_ = lead.bits_per_raw_sample > 0 ? lead.bits_per_raw_sample : 16;
    encoder->channels_ = lead.ch_layout.nb_channels;
    // The smallest frame starts at the largest a frame can be, which the header names.
    const std::uint8_t* largest = encoder->header_.data() + 7;
    encoder->smallestFrame_ = static_cast<std::uint32_t>(largest[0] << 16 | largest[1] << 8 | largest[2]);
    encoder->md5_ = {av_md5_alloc(), [](AVMD5* md5) { av_free(md5); }};
    if (!encoder->md5_) return nullptr;
    av_md5_init(encoder->md5_.get());
    for (int i = 0; i < 2; ++i) encoder->threads_.emplace_back(&TwoThreadFlacEncoder::Work, encoder.get());
    return encoder;
}

TwoThreadFlacEncoder::~TwoThreadFlacEncoder() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

// Each thread opens its encoder itself: the megabytes it clears are then not the caller's wait.
void TwoThreadFlacEncoder::Work() {
    const AvCodecContextPtr context = open_();
    for (;;) {
        std::shared_ptr<Run> run;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
            if (stopping_) return;
            run = pending_.front();
            pending_.pop_front();
        }
        const int error =
            context ? EncodeRun(*context, run->firstNumber, run->frames, run->packets) : AVERROR_ENCODER_NOT_FOUND;
        {
            std::lock_guard lock(mutex_);
            run->error = error;
            run->done = true;
        }
        changed_.notify_all();
    }
}

// The signature covers the samples as the file holds them: little-endian, 24 bits in three bytes.
void TwoThreadFlacEncoder::HashSamples(const AVFrame& frame) {
    const std::size_t count = static_cast<std::size_t>(frame.nb_samples) * static_cast<std::size_t>(channels_);
    if (bits_ <= 16 && std::endian::native == std::endian::little) {
        av_md5_update(md5_.get(), frame.data[0], count * 2);
        return;
    }
    std::vector<std::uint8_t> packed;
    packed.reserve(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        const std::int32_t value = bits_ <= 16 ? reinterpret_cast<const std::int16_t*>(frame.data[0])[i]
                                               : reinterpret_cast<const std::int32_t*>(frame.data[0])[i] >> 8;
        for (int b = 0; b < (bits_ <= 16 ? 2 : 3); ++b) packed.push_back(static_cast<std::uint8_t>(value >> (8 * b)));
    }
    av_md5_update(md5_.get(), packed.data(), packed.size());
}

int TwoThreadFlacEncoder::Send(const AVFrame* frame) {
    if (flushed_) return AVERROR_EOF;
    if (!frame) {
        if (filling_) Dispatch();
        flushed_ = true;
        return 0;
    }
    AvFramePtr kept(av_frame_alloc());
    if (!kept || av_frame_ref(kept.get(), frame) < 0) return AVERROR(ENOMEM);
    HashSamples(*frame);
    if (!filling_) {
        filling_ = std::make_shared<Run>();
        filling_->firstNumber = framesSent_;
    }
    filling_->frames.push_back(std::move(kept));
    ++framesSent_;
    samplesSent_ += frame->nb_samples;
    if (filling_->frames.size() == kFramesPerRun) Dispatch();
    return 0;
}

void TwoThreadFlacEncoder::Dispatch() {
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(filling_);
        inFlight_.push_back(std::move(filling_));
    }
    changed_.notify_all();
}

int TwoThreadFlacEncoder::Receive(AVPacket* packet) {
    for (;;) {
        if (!ready_.empty()) {
            av_packet_move_ref(packet, ready_.front().get());
            ready_.pop_front();
            return 0;
        }
        if (finished_) return AVERROR_EOF;
        std::shared_ptr<Run> run;
        {
            std::unique_lock lock(mutex_);
            if (inFlight_.empty()) {
                if (!flushed_) return AVERROR(EAGAIN);
                lock.unlock();
                finished_ = true;
                return FinalPacket(packet);
            }
            const std::shared_ptr<Run> oldest = inFlight_.front();
            if (!oldest->done && !flushed_ && inFlight_.size() < kRunsInFlight) return AVERROR(EAGAIN);
            changed_.wait(lock, [&oldest] { return oldest->done; });
            run = std::move(inFlight_.front());
            inFlight_.pop_front();
        }
        if (run->error < 0) return run->error;
        for (AvPacketPtr& encoded : run->packets) {
            const auto size = static_cast<std::uint32_t>(encoded->size);
            smallestFrame_ = std::min(smallestFrame_, size);
            largestFrame_ = std::max(largestFrame_, size);
            nextPts_ = encoded->pts + encoded->duration;
            ready_.push_back(std::move(encoded));
        }
    }
}

// What one encoder tells at its end: the stream header with the real frame sizes, the length
// and the signature, in a packet of its own.
int TwoThreadFlacEncoder::FinalPacket(AVPacket* packet) {
    std::vector<std::uint8_t> header = header_;
    PutBigEndian(header.data() + 4, smallestFrame_, 3);
    PutBigEndian(header.data() + 7, largestFrame_, 3);
    header[13] = static_cast<std::uint8_t>((header[13] & 0xF0) | ((samplesSent_ >> 32) & 0x0F));
    PutBigEndian(header.data() + 14, static_cast<std::uint64_t>(samplesSent_) & 0xFFFFFFFF, 4);
    av_md5_final(md5_.get(), header.data() + kMd5Offset);
    av_packet_unref(packet);
    std::uint8_t* side = av_packet_new_side_data(packet, AV_PKT_DATA_NEW_EXTRADATA, header.size());
    if (!side) return AVERROR(ENOMEM);
    std::memcpy(side, header.data(), header.size());
    packet->pts = packet->dts = nextPts_;
    return 0;
}

}  // namespace tessival::media
