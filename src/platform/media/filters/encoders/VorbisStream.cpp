#include "platform/media/filters/encoders/VorbisStream.h"

#include <algorithm>

#include <vorbis/vorbisenc.h>

namespace tessival::media {
namespace {

// oggenc's chunk: one pass through libvorbis's calls per 1024 frames, not per 64 as the wrapper's.
constexpr std::int64_t kChunkFrames = 1024;
// libvorbis extrapolates the stream's start backwards from all it holds once that is more than a
// long window: up to then the samples go in in the wrapper's steps, so it holds what it held there.
constexpr std::int64_t kWrapperFrames = 64;

// The most frames the next chunk may have, when `fed` went in before and `left` wait; 0 when a
// remainder of a step has to wait.
std::int64_t ChunkAfter(std::int64_t fed, std::int64_t left, long longBlock) {
    const std::int64_t chunk = std::min(kChunkFrames, left);
    if (fed >= longBlock + kWrapperFrames) return chunk;
    const std::int64_t stop = fed < longBlock ? longBlock : longBlock + kWrapperFrames;
    return std::min(chunk, stop - fed) / kWrapperFrames * kWrapperFrames;
}

bool SetUp(vorbis_info& info, int channels, long rate, long bitRate) {
    return vorbis_encode_setup_managed(&info, channels, rate, -1, bitRate, -1) == 0 &&
           vorbis_encode_ctl(&info, OV_ECTL_RATEMANAGE2_SET, nullptr) == 0;
}

void PutLacing(std::vector<std::uint8_t>& out, long size) {
    for (; size >= 255; size -= 255) out.push_back(255);
    out.push_back(static_cast<std::uint8_t>(size));
}

void Append(std::vector<std::uint8_t>& out, const ogg_packet& packet) {
    out.insert(out.end(), packet.packet, packet.packet + packet.bytes);
}

// The muxer writes the file's own comments.
std::vector<std::uint8_t> HeadersOf(vorbis_dsp_state& dsp) {
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    ogg_packet id, tags, setup;
    std::vector<std::uint8_t> out;
    if (vorbis_analysis_headerout(&dsp, &comment, &id, &tags, &setup) == 0) {
        out.push_back(2);
        PutLacing(out, id.bytes);
        PutLacing(out, tags.bytes);
        Append(out, id);
        Append(out, tags);
        Append(out, setup);
    }
    vorbis_comment_clear(&comment);
    return out;
}

}  // namespace

VorbisStream::VorbisStream() { vorbis_info_init(&info_); }

VorbisStream::~VorbisStream() {
    if (blockReady_) vorbis_block_clear(&block_);
    if (dspReady_) vorbis_dsp_clear(&dsp_);
    vorbis_info_clear(&info_);
}

bool VorbisStream::Accepts(int channels, long rate, long bitRate) {
    vorbis_info info;
    vorbis_info_init(&info);
    const bool accepted = SetUp(info, channels, rate, bitRate);
    vorbis_info_clear(&info);
    return accepted;
}

std::unique_ptr<VorbisStream> VorbisStream::Open(int channels, long rate, long bitRate) {
    std::unique_ptr<VorbisStream> stream(new VorbisStream());
    if (!stream->Start(channels, rate, bitRate)) stream.reset();
    return stream;
}

bool VorbisStream::Start(int channels, long rate, long bitRate) {
    if (!SetUp(info_, channels, rate, bitRate) || vorbis_encode_setup_init(&info_) != 0) return false;
    dspReady_ = vorbis_analysis_init(&dsp_, &info_) == 0;
    blockReady_ = dspReady_ && vorbis_block_init(&dsp_, &block_) == 0;
    if (blockReady_) headers_ = HeadersOf(dsp_);
    longBlock_ = vorbis_info_blocksize(&info_, 1);
    // The wrapper counts the first packet as if a short window came before it.
    previousBlock_ = vorbis_info_blocksize(&info_, 0);
    return !headers_.empty();
}

HRESULT VorbisStream::Write(const float* samples, std::int64_t frames, const PacketSink& sink) {
    if (pending_.empty()) return Encode(samples, frames, false, sink);
    std::vector<float> joined = std::move(pending_);
    pending_.clear();
    joined.insert(joined.end(), samples, samples + frames * info_.channels);
    return Encode(joined.data(), static_cast<std::int64_t>(joined.size()) / info_.channels, false, sink);
}

HRESULT VorbisStream::Finish(const PacketSink& sink) {
    const std::vector<float> rest = std::move(pending_);
    pending_.clear();
    const HRESULT hr = Encode(rest.data(), static_cast<std::int64_t>(rest.size()) / info_.channels, true, sink);
    return FAILED(hr) ? hr : Wrote(0, sink);
}

HRESULT VorbisStream::Encode(const float* samples, std::int64_t frames, bool final, const PacketSink& sink) {
    const int channels = info_.channels;
    for (std::int64_t done = 0; done < frames;) {
        std::int64_t chunk = ChunkAfter(fed_, frames - done, longBlock_);
        if (chunk == 0 && !final) {
            pending_.assign(samples + done * channels, samples + frames * channels);
            return S_OK;
        }
        if (chunk == 0) chunk = frames - done;
        float** planes = vorbis_analysis_buffer(&dsp_, static_cast<int>(chunk));
        const float* from = samples + done * channels;
        for (int c = 0; c < channels; ++c)
            for (std::int64_t i = 0; i < chunk; ++i) planes[c][i] = from[i * channels + c];
        done += chunk;
        fed_ += chunk;
        const HRESULT hr = Wrote(static_cast<int>(chunk), sink);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT VorbisStream::Wrote(int frames, const PacketSink& sink) {
    if (vorbis_analysis_wrote(&dsp_, frames) != 0) return E_FAIL;
    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
        if (vorbis_analysis(&block_, nullptr) != 0 || vorbis_bitrate_addblock(&block_) != 0) return E_FAIL;
        while (vorbis_bitrate_flushpacket(&dsp_, &packet) == 1) {
            const HRESULT hr = HandOut(packet, sink);
            if (FAILED(hr)) return hr;
        }
    }
    return S_OK;
}

// A packet decodes to a quarter of the previous window and a quarter of its own; the first one
// starts that far before zero, and none ends past the samples written.
HRESULT VorbisStream::HandOut(const ogg_packet& packet, const PacketSink& sink) {
    const long block = vorbis_packet_blocksize(&info_, const_cast<ogg_packet*>(&packet));
    if (block <= 0) return E_FAIL;
    if (fed_ == 0) return S_OK;
    const std::int64_t length = (previousBlock_ + block) / 4;
    previousBlock_ = block;
    if (packets_++ == 0) end_ = -length;
    const std::int64_t first = end_;
    end_ = std::max(first, std::min(first + length, fed_));
    return sink({packet.packet, static_cast<std::size_t>(packet.bytes), first, end_ - first});
}

}  // namespace tessival::media
