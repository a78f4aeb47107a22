#include "platform/media/filters/encoders/VorbisStream.h"

#include <vorbis/vorbisenc.h>

namespace tessival::media {
namespace {

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

// The comment header has no comments: the muxer writes the file's own.
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
    shortBlock_ = vorbis_info_blocksize(&info_, 0);
    longBlock_ = vorbis_info_blocksize(&info_, 1);
    return !headers_.empty();
}

float** VorbisStream::Buffer(int frames) { return vorbis_analysis_buffer(&dsp_, frames); }

HRESULT VorbisStream::Wrote(int frames, const PacketSink& sink) {
    if (vorbis_analysis_wrote(&dsp_, frames) != 0) return E_FAIL;
    ogg_packet packet;
    while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
        if (vorbis_analysis(&block_, nullptr) != 0 || vorbis_bitrate_addblock(&block_) != 0) return E_FAIL;
        while (vorbis_bitrate_flushpacket(&dsp_, &packet) == 1) {
            const long blockSize = vorbis_packet_blocksize(&info_, &packet);
            if (blockSize <= 0) return E_FAIL;
            const HRESULT hr = sink({packet.packet, static_cast<std::size_t>(packet.bytes), packet.granulepos, blockSize});
            if (FAILED(hr)) return hr;
        }
    }
    return S_OK;
}

}  // namespace tessival::media
