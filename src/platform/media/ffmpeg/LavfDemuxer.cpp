#include "platform/media/ffmpeg/LavfDemuxer.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "platform/media/Id3v2Reader.h"
#include "platform/media/ffmpeg/Mp3InfoFrame.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/intreadwrite.h>
}

namespace tessival::media {
namespace {

constexpr int kIoBufferSize = 64 * 1024;
constexpr std::size_t kMp3InfoFrameBytes = 2048;  // the first frame, with some junk before it

std::uint16_t WaveTagOf(const AVCodecParameters& par) {
    // Containers of the wave family carry the tag itself; the others are mapped by codec.
    if (par.codec_tag != 0 && par.codec_tag <= 0xFFFF) return static_cast<std::uint16_t>(par.codec_tag);
    const AVCodecTag* const tables[] = {avformat_get_riff_audio_tags(), nullptr};
    return static_cast<std::uint16_t>(av_codec_get_tag(tables, par.codec_id));
}

std::shared_ptr<const AVCodecParameters> CopyParameters(const AVCodecParameters& par) {
    AvCodecParametersPtr copy(avcodec_parameters_alloc());
    if (!copy || avcodec_parameters_copy(copy.get(), &par) < 0) return nullptr;
    return copy;
}

MediaType AudioTypeOf(const AVCodecParameters& par) {
    WAVEFORMATEX wave;
    wave.wFormatTag = WaveTagOf(par);
    wave.nChannels = static_cast<std::uint16_t>(par.ch_layout.nb_channels);
    wave.nSamplesPerSec = static_cast<std::uint32_t>(par.sample_rate);
    wave.nAvgBytesPerSec = static_cast<std::uint32_t>(par.bit_rate / 8);
    wave.nBlockAlign = static_cast<std::uint16_t>(par.block_align > 0 ? par.block_align : 1);
    wave.wBitsPerSample = static_cast<std::uint16_t>(par.bits_per_coded_sample);
    std::span<const std::uint8_t> extra;
    if (par.extradata && par.extradata_size > 0 && par.extradata_size <= 0xFFFF)
        extra = {par.extradata, static_cast<std::size_t>(par.extradata_size)};
    MediaType type = MediaType::Audio(wave, extra);
    type.codecParameters = CopyParameters(par);
    return type;
}

MediaType VideoTypeOf(const AVCodecParameters& par) {
    // Video is only carried to a renderer; its subtype is the fourcc in the video GUID pattern.
    MediaType type = MediaTypePattern(MEDIATYPE_Video, Guid{par.codec_tag, 0x0000, 0x0010,
                                                            {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}});
    type.codecParameters = CopyParameters(par);
    return type;
}

}  // namespace

LavfDemuxer::LavfDemuxer() = default;

LavfDemuxer::~LavfDemuxer() { Close(); }

HRESULT LavfDemuxer::Open(std::shared_ptr<IAsyncReader> reader, const char* formatName) {
    Close();
    skippedPackets_ = 0;
    deliveredPackets_ = 0;
    if (!reader) return E_POINTER;
    reader_ = std::move(reader);
    readerPosition_ = 0;
    readError_ = S_OK;
    AvBufferPtr buffer(static_cast<std::uint8_t*>(av_malloc(kIoBufferSize)));
    if (!buffer) return E_OUTOFMEMORY;
    io_.reset(avio_alloc_context(buffer.get(), kIoBufferSize, 0, this, &LavfDemuxer::ReadPacket, nullptr,
                                 &LavfDemuxer::Seek));
    if (!io_) return E_OUTOFMEMORY;
    buffer.release();  // io_ owns it now
    context_.reset(avformat_alloc_context());
    if (!context_) return E_OUTOFMEMORY;
    context_->pb = io_.get();
    context_->flags |= AVFMT_FLAG_CUSTOM_IO;
    return Finish(formatName, "");
}

HRESULT LavfDemuxer::OpenFile(const std::string& path, const char* formatName) {
    Close();
    skippedPackets_ = 0;
    deliveredPackets_ = 0;
    // libavformat would open a FIFO or a device and wait on it.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return E_FILE_NOT_FOUND;
    if (!S_ISREG(info.st_mode)) return E_ACCESSDENIED;
    // The file protocol is named outright so that no name is taken for another protocol.
    return Finish(formatName, "file:" + path);
}

HRESULT LavfDemuxer::Finish(const char* formatName, const std::string& url) {
    const AVInputFormat* format = formatName ? av_find_input_format(formatName) : nullptr;
    // avformat_open_input frees the context it was given when it fails.
    AVFormatContext* opening = context_.release();
    const int opened = avformat_open_input(&opening, url.c_str(), format, nullptr);
    context_.reset(opening);
    if (opened < 0) {
        Close();
        return VFW_E_INVALID_FILE_FORMAT;
    }
    packet_.reset(av_packet_alloc());
    if (!packet_) {
        Close();
        return E_OUTOFMEMORY;
    }
    if (avformat_find_stream_info(context_.get(), nullptr) < 0) {
        Close();
        return VFW_E_INVALID_FILE_FORMAT;
    }
    ListStreams();
    if (streams_.empty()) {
        Close();
        return VFW_E_INVALID_FILE_FORMAT;
    }
    countedTrim_ = CountedTrim();
    editListEnd_ = EditListEnd();
    longestPacket_ = 0;
    // What probing complained of is the open's business; damage counts from the first read.
    loggedErrors_.Watch(context_.get());
    return S_OK;
}

const AVStream* LavfDemuxer::FirstAudio() const {
    for (const Stream& stream : streams_)
        if (!stream.video) return context_->streams[stream.index];
    return nullptr;
}

std::int64_t LavfDemuxer::CountedTrim() const {
    const AVStream* audio = FirstAudio();
    if (!audio) return 0;
    const std::string_view format = context_->iformat->name;
    // Ogg's duration runs from the first granule, before the pre-skip; MP4 and Matroska keep
    // the priming out of theirs already.
    if (format == "ogg") return std::max(0, audio->codecpar->initial_padding);
    if (format == "mp3") return Mp3Trim();
    return 0;
}

// libavformat counts an MP3's whole frames and trims by the LAME figures only while decoding.
std::int64_t LavfDemuxer::Mp3Trim() const {
    if (!reader_) return 0;
    std::uint8_t start[10];
    std::int32_t got = 0;
    if (FAILED(reader_->SyncRead(0, sizeof start, start, &got)) || got != sizeof start) return 0;
    const std::size_t audioStart = Id3v2TagLength(start);
    std::vector<std::uint8_t> first(kMp3InfoFrameBytes);
    if (FAILED(reader_->SyncRead(static_cast<std::int64_t>(audioStart), static_cast<std::int32_t>(first.size()),
                                 first.data(), &got)) || got <= 0)
        return 0;
    first.resize(static_cast<std::size_t>(got));
    const auto trim = ReadMp3EncoderTrim(first);
    return trim ? trim->delay + trim->padding : 0;
}

// libavformat 5.1 trims an MP4 edit list only at its start: the last frame decodes whole, past the
// end the file declares. A stream that starts at zero has no edit list that trims, and an unknown
// or empty length is no end to cut at.
std::int64_t LavfDemuxer::EditListEnd() const {
    const AVStream* audio = FirstAudio();
    if (!audio || std::string_view(context_->iformat->name).find("mp4") == std::string_view::npos) return kNoEnd;
    if (audio->duration == AV_NOPTS_VALUE || audio->duration <= 0) return kNoEnd;
    const AVIndexEntry* first = avformat_index_get_entry(const_cast<AVStream*>(audio), 0);
    if (!first || first->timestamp >= 0) return kNoEnd;
    return (audio->start_time != AV_NOPTS_VALUE ? audio->start_time : 0) + audio->duration;
}

bool LavfDemuxer::PastEditListEnd() const {
    return editListEnd_ != kNoEnd && context_->streams[packet_->stream_index] == FirstAudio() &&
           packet_->pts != AV_NOPTS_VALUE && packet_->pts >= editListEnd_;
}

std::uint32_t LavfDemuxer::SamplesPastEditListEnd() {
    const AVStream& stream = *context_->streams[packet_->stream_index];
    if (editListEnd_ == kNoEnd || &stream != FirstAudio() || packet_->pts == AV_NOPTS_VALUE) return 0;
    // The container shortens the last frame's duration to the end; the decoder still gives it whole.
    longestPacket_ = std::max(longestPacket_, packet_->duration);
    const std::int64_t past = packet_->pts + longestPacket_ - editListEnd_;
    if (past <= 0) return 0;
    return static_cast<std::uint32_t>(
        av_rescale_q(past, stream.time_base, AVRational{1, std::max(1, stream.codecpar->sample_rate)}));
}

void LavfDemuxer::ListStreams() {
    streams_.clear();
    for (unsigned i = 0; i < context_->nb_streams; ++i) {
        const AVCodecParameters& par = *context_->streams[i]->codecpar;
        // Cover art is a still picture beside the audio, not a video stream to render.
        if (context_->streams[i]->disposition & AV_DISPOSITION_ATTACHED_PIC) continue;
        Stream stream;
        stream.index = static_cast<int>(i);
        if (par.codec_type == AVMEDIA_TYPE_AUDIO && par.ch_layout.nb_channels > 0 && par.sample_rate > 0) {
            stream.type = AudioTypeOf(par);
        } else if (par.codec_type == AVMEDIA_TYPE_VIDEO) {
            stream.video = true;
            stream.type = VideoTypeOf(par);
        } else {
            continue;
        }
        streams_.push_back(std::move(stream));
    }
}

void LavfDemuxer::Close() {
    // The context reads through io_, so it goes first.
    loggedErrors_.Stop();
    packet_.reset();
    context_.reset();
    io_.reset();
    streams_.clear();
    countedTrim_ = 0;
    editListEnd_ = kNoEnd;
    reader_.reset();
}

REFERENCE_TIME LavfDemuxer::Duration() const {
    if (!context_) return 0;
    const AVStream* audio = FirstAudio();
    if (countedTrim_ > 0 && audio && audio->duration != AV_NOPTS_VALUE && audio->codecpar->sample_rate > 0) {
        const std::int64_t rate = audio->codecpar->sample_rate;
        const std::int64_t samples =
            av_rescale_q(audio->duration, audio->time_base, AVRational{1, static_cast<int>(rate)});
        return std::max<std::int64_t>(0, samples - countedTrim_) * kUnitsPerSecond / rate;
    }
    if (context_->duration == AV_NOPTS_VALUE || context_->duration < 0) return 0;
    return av_rescale(context_->duration, kUnitsPerSecond, AV_TIME_BASE);
}

bool LavfDemuxer::IsAttachedPicture(int index) const {
    return context_ && index >= 0 && static_cast<unsigned>(index) < context_->nb_streams &&
           (context_->streams[index]->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
}

void LavfDemuxer::ReadOnly(const std::vector<int>& indexes) {
    if (!context_) return;
    for (unsigned i = 0; i < context_->nb_streams; ++i) {
        const bool read = std::find(indexes.begin(), indexes.end(), static_cast<int>(i)) != indexes.end();
        context_->streams[i]->discard = read ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    }
}

bool LavfDemuxer::Listed(int index) const {
    for (const Stream& stream : streams_)
        if (stream.index == index) return true;
    return false;
}

REFERENCE_TIME LavfDemuxer::ToReferenceTime(std::int64_t ts, int index) const {
    if (ts == AV_NOPTS_VALUE) return -1;
    const AVStream& stream = *context_->streams[index];
    if (stream.start_time != AV_NOPTS_VALUE) ts -= stream.start_time;
    return av_rescale_q(ts, stream.time_base, AVRational{1, kUnitsPerSecond});
}

HRESULT LavfDemuxer::Read(int& streamIndex, MediaSample& sample) {
    if (!context_) return E_UNEXPECTED;
    int failuresInARow = 0;
    for (;;) {
        const int ret = av_read_frame(context_.get(), packet_.get());
        // A failed read ends some demuxers as if the file ended there.
        if (ret == AVERROR_EOF) return FAILED(readError_) ? readError_ : End();
        if (ret < 0 && FAILED(readError_)) return readError_;
        if (ret == AVERROR(ENOMEM)) return E_OUTOFMEMORY;
        if (ret < 0) {
            // A damaged piece: the demuxer looks for the next packet from where it stopped. One
            // that keeps failing without moving on has nothing more to give.
            ++skippedPackets_;
            if (++failuresInARow >= kMostFailuresInARow || (context_->pb && avio_feof(context_->pb))) return End();
            continue;
        }
        if (Listed(packet_->stream_index) && !PastEditListEnd()) break;
        av_packet_unref(packet_.get());
    }
    ++deliveredPackets_;
    streamIndex = packet_->stream_index;
    sample.data.assign(packet_->data, packet_->data + packet_->size);
    sample.start = ToReferenceTime(packet_->pts, streamIndex);
    const AVRational timeBase = context_->streams[streamIndex]->time_base;
    sample.stop = sample.start >= 0 && packet_->duration > 0
                      ? sample.start + av_rescale_q(packet_->duration, timeBase, AVRational{1, kUnitsPerSecond})
                      : -1;
    sample.discontinuity = (packet_->flags & AV_PKT_FLAG_CORRUPT) != 0;
    sample.frameCount = -1;
    std::size_t sideSize = 0;
    const std::uint8_t* skip = av_packet_get_side_data(packet_.get(), AV_PKT_DATA_SKIP_SAMPLES, &sideSize);
    sample.trimStart = skip && sideSize >= 8 ? AV_RL32(skip) : 0;
    sample.trimEnd = std::max(skip && sideSize >= 8 ? AV_RL32(skip + 4) : 0, SamplesPastEditListEnd());
    av_packet_unref(packet_.get());
    return S_OK;
}

HRESULT LavfDemuxer::End() const {
    // Nothing read at all is a file that only looked like media, not an empty piece of audio.
    return deliveredPackets_ > 0 ? S_FALSE : VFW_E_INVALID_FILE_FORMAT;
}

int LavfDemuxer::ReadPacket(void* opaque, std::uint8_t* buffer, int size) {
    auto& self = *static_cast<LavfDemuxer*>(opaque);
    std::int32_t got = 0;
    const HRESULT hr = self.reader_->SyncRead(self.readerPosition_, size, buffer, &got);
    if (FAILED(hr)) {
        self.readError_ = hr;
        return AVERROR(EIO);
    }
    self.readerPosition_ += got;
    return got > 0 ? got : AVERROR_EOF;
}

std::int64_t LavfDemuxer::Seek(void* opaque, std::int64_t offset, int whence) {
    auto& self = *static_cast<LavfDemuxer*>(opaque);
    std::int64_t total = 0, available = 0;
    if (FAILED(self.reader_->Length(total, available))) return AVERROR(EIO);
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return total;
    case SEEK_SET: break;
    case SEEK_CUR: offset += self.readerPosition_; break;
    case SEEK_END: offset += total; break;
    default: return AVERROR(EINVAL);
    }
    if (offset < 0) return AVERROR(EINVAL);
    self.readerPosition_ = offset;
    return offset;
}

}  // namespace tessival::media
