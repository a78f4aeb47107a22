#include "platform/media/filters/sinks/MuxerDest.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <strings.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/intreadwrite.h>
#include <libavformat/avformat.h>
#include <libavutil/base64.h>
#include <libavutil/opt.h>
}

#include "platform/media/OptionalInterfaces.h"
#include "platform/media/QueryInterface.h"
#include "platform/media/TagMapping.h"
#include "platform/media/VorbisComments.h"
#include "platform/media/filters/sinks/Id3v2Tag.h"
#include "platform/media/filters/sinks/Mp4GaplessInfo.h"
#include "platform/media/filters/sinks/Mp4Ilst.h"

namespace tessival::media {
namespace {

constexpr std::size_t kStreamInfoSize = 34;
constexpr int kFrontCoverType = 3;
// The PADDING block libavformat's FLAC muxer ends the metadata with, header included.
constexpr std::int64_t kFlacPaddingSpace = 4 + 8192;

void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// The FLAC picture block, base64 as Vorbis comments carry it.
std::string PictureComment(const MediaPicture& picture) {
    std::vector<std::uint8_t> block;
    PutBe32(block, static_cast<std::uint32_t>(picture.type));
    PutBe32(block, static_cast<std::uint32_t>(picture.mime.size()));
    block.insert(block.end(), picture.mime.begin(), picture.mime.end());
    PutBe32(block, static_cast<std::uint32_t>(picture.description.size()));
    block.insert(block.end(), picture.description.begin(), picture.description.end());
    PutBe32(block, static_cast<std::uint32_t>(picture.width));
    PutBe32(block, static_cast<std::uint32_t>(picture.height));
    PutBe32(block, 24);  // colour depth
    PutBe32(block, 0);   // not indexed
    PutBe32(block, static_cast<std::uint32_t>(picture.data.size()));
    block.insert(block.end(), picture.data.begin(), picture.data.end());
    std::string text(AV_BASE64_SIZE(block.size()), '\0');
    if (!av_base64_encode(text.data(), static_cast<int>(text.size()), block.data(), static_cast<int>(block.size())))
        return std::string();
    text.resize(std::strlen(text.c_str()));
    return text;
}

// The cover first, then the other pictures; one without bytes is no picture.
std::vector<MediaPicture> Pictures(const MediaTags& tags) {
    std::vector<MediaPicture> pictures;
    if (!tags.cover.empty())
        pictures.push_back({tags.cover, tags.coverMime, kFrontCoverType, "", tags.coverWidth, tags.coverHeight});
    std::copy_if(tags.otherPictures.begin(), tags.otherPictures.end(), std::back_inserter(pictures),
                 [](const MediaPicture& picture) { return !picture.data.empty(); });
    return pictures;
}

HRESULT FromAv(int ret) { return ret >= 0 ? S_OK : E_FAIL; }

// FNV-1a, enough to spread serial numbers; not a checksum of anything.
std::uint32_t Fnv1a(std::uint32_t hash, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

const MuxerDest::Kind kMp3{{0x5E1F0D01, 0x7C3B, 0x4D21, {0x9A, 0x6E, 0x31, 0x0B, 0x8C, 0x4F, 0x22, 0x04}},
                           "MP3 File Dest", "mp3", false};
const MuxerDest::Kind kFlac{{0x5E1F0D02, 0x7C3B, 0x4D21, {0x9A, 0x6E, 0x31, 0x0B, 0x8C, 0x4F, 0x22, 0x04}},
                            "FLAC File Dest", "flac", false};
const MuxerDest::Kind kOgg{{0x5E1F0D03, 0x7C3B, 0x4D21, {0x9A, 0x6E, 0x31, 0x0B, 0x8C, 0x4F, 0x22, 0x04}},
                           "Ogg File Dest", "ogg", true};
const MuxerDest::Kind kM4a{{0x5E1F0D04, 0x7C3B, 0x4D21, {0x9A, 0x6E, 0x31, 0x0B, 0x8C, 0x4F, 0x22, 0x04}},
                           "M4A File Dest", "ipod", false};

std::atomic<int> id3Version{4};

FilterEntry EntryFor(const MuxerDest::Kind& kind) {
    return MakeFilterEntry(CLSID_LegacyAmFilterCategory, kind.clsid, kind.friendlyName, MERIT_DO_NOT_USE,
                           {MediaTypePattern(MEDIATYPE_Audio)}, [&kind] { return std::make_shared<MuxerDest>(kind); });
}

}  // namespace

MuxerDest::MuxerDest(const Kind& kind) : TransformFilter(kind.clsid, "In", "Out"), kind_(kind) {}

MuxerDest::~MuxerDest() { Close(); }

FilterEntry MuxerDest::Mp3Entry() { return EntryFor(kMp3); }
FilterEntry MuxerDest::FlacEntry() { return EntryFor(kFlac); }
FilterEntry MuxerDest::OggEntry() { return EntryFor(kOgg); }
FilterEntry MuxerDest::M4aEntry() { return EntryFor(kM4a); }

void MuxerDest::SetTags(const MediaTags& tags) {
    tags_ = tags;
    // The source's encoder delay says nothing about this file's: each file gets its own.
    std::erase_if(tags_.fields, [](const auto& field) { return strcasecmp(field.first.c_str(), "iTunSMPB") == 0; });
}

void MuxerDest::SetId3Version(int version) { id3Version = version == 3 ? 3 : 4; }

int MuxerDest::Id3Version() { return id3Version; }

HRESULT MuxerDest::CheckInput(const MediaType& type) const {
    // Only an encoder that says what it made (codec, extradata, delay) can be muxed.
    return type.majorType == MEDIATYPE_Audio && type.codecParameters && type.WaveFormat() ? S_OK
                                                                                           : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT MuxerDest::OutputTypesFor(const MediaType&, std::vector<MediaType>& types) const {
    types.push_back(MediaType::Stream(MEDIASUBTYPE_MuxedFile));
    return S_OK;
}

HRESULT MuxerDest::StartStreaming() {
    Close();
    const HRESULT hr = OpenMuxer();
    if (FAILED(hr)) Close();
    return hr;
}

HRESULT MuxerDest::OpenMuxer() {
    io_ = std::make_unique<ByteStreamIo>([this](MediaSample& sample) { return Deliver(sample); });
    AVFormatContext* context = nullptr;
    if (!io_->Context() || avformat_alloc_output_context2(&context, nullptr, kind_.muxer, nullptr) < 0)
        return E_OUTOFMEMORY;
    format_.reset(context);
    format_->pb = io_->Context();
    // The same input gives the same bytes in every run: no random Ogg serial, no version strings
    // that change with the library.
    format_->flags |= AVFMT_FLAG_CUSTOM_IO | AVFMT_FLAG_BITEXACT;
    // Packets gather in the I/O buffer and reach the file a buffer at a time, not one write each
    // (a FLAC frame is a few kilobytes); a stop still writes out what is there as it finalises.
    format_->flush_packets = 0;
    // The MP3 tag is ours (Id3v2Tag): libavformat's writes neither COMM nor several values.
    if (&kind_ == &kMp3) av_opt_set_int(format_->priv_data, "id3v2_version", 0, 0);
    // The edit list counts in the movie's time scale: in samples it says the length exactly.
    if (&kind_ == &kM4a)
        av_opt_set_int(format_->priv_data, "movie_timescale", InputType().codecParameters->sample_rate, 0);
    if (kind_.coverAsComment)
        av_opt_set_int(format_->priv_data, "serial_offset", static_cast<std::int64_t>(StreamSerial() & 0x7FFFFFFF), 0);

    AVStream* audio = avformat_new_stream(format_.get(), nullptr);
    if (!audio || avcodec_parameters_copy(audio->codecpar, InputType().codecParameters.get()) < 0) return E_OUTOFMEMORY;
    audio->codecpar->codec_tag = 0;
    audio->time_base = AVRational{1, audio->codecpar->sample_rate};
    SetUpTags(*audio);
    HRESULT hr = AddPictures();
    if (FAILED(hr)) return hr;

    if (audio->codecpar->codec_id == AV_CODEC_ID_FLAC && audio->codecpar->extradata_size >= int(kStreamInfoSize)) {
        streamInfo_.emplace();
        std::memcpy(streamInfo_->data(), audio->codecpar->extradata, kStreamInfoSize);
        seekTable_.emplace(audio->codecpar->sample_rate);
    }
    if (&kind_ == &kMp3) {
        const std::vector<std::uint8_t> tag = Id3v2Tag(tags_, id3Version);
        avio_write(format_->pb, tag.data(), static_cast<int>(tag.size()));
    }
    if (commentFill_) io_->KeepFrom(0);
    if (avformat_write_header(format_.get(), nullptr) < 0) return FAILED(io_->Failure()) ? io_->Failure() : E_FAIL;
    finalised_ = false;
    hr = WritePictures();
    return SUCCEEDED(hr) ? FillComments() : hr;
}

void MuxerDest::SetUpTags(AVStream& audio) {
    commentFill_.reset();
    if (&kind_ == &kFlac || kind_.coverAsComment) {
        std::vector<std::string> comments = VorbisCommentsFor(tags_);
        // Ogg has no picture stream: pictures go in as METADATA_BLOCK_PICTURE comments.
        if (kind_.coverAsComment)
            for (const MediaPicture& picture : Pictures(tags_))
                comments.push_back("METADATA_BLOCK_PICTURE=" + PictureComment(picture));
        commentFill_.emplace(std::move(comments));
        const std::string placeholder = commentFill_->PlaceholderValue();
        if (placeholder.empty())
            commentFill_.reset();
        else
            av_dict_set(&format_->metadata, VorbisCommentFill::kPlaceholderName, placeholder.c_str(), 0);
    }
    // Ogg writes the comments of its stream.
    if (kind_.coverAsComment) av_dict_copy(&audio.metadata, format_->metadata, 0);
    if (&kind_ == &kM4a) ilstItems_ = Mp4IlstItems(tags_);
}

HRESULT MuxerDest::FillComments() {
    if (!commentFill_) return S_OK;
    avio_flush(format_->pb);
    std::vector<std::uint8_t> header = io_->TakeKept();
    io_->KeepFrom(-1);
    if (FAILED(io_->Failure())) return io_->Failure();
    const bool filled = &kind_ == &kFlac ? commentFill_->FillFlac(header) : commentFill_->FillOgg(header);
    // Never leave the placeholder in a file.
    if (!filled) return E_FAIL;
    return Rewrite(0, header);
}

HRESULT MuxerDest::Rewrite(std::int64_t offset, const std::vector<std::uint8_t>& bytes) {
    const std::int64_t end = avio_tell(format_->pb);
    if (avio_seek(format_->pb, offset, SEEK_SET) < 0) return E_FAIL;
    avio_write(format_->pb, bytes.data(), static_cast<int>(bytes.size()));
    if (avio_seek(format_->pb, std::max<std::int64_t>(end, offset + std::int64_t(bytes.size())), SEEK_SET) < 0)
        return E_FAIL;
    return io_->Flush();
}

// The muxer writes moov last, at the end of the file: its item list grows there, and the
// gapless figures, known only now, go in.
HRESULT MuxerDest::FinishMoov(std::int64_t moovOffset) {
    avio_flush(format_->pb);
    std::vector<std::uint8_t> moov = io_->TakeKept();
    io_->KeepFrom(-1);
    if (FAILED(io_->Failure())) return io_->Failure();
    const AVCodecParameters& codec = *format_->streams[0]->codecpar;
    const std::int64_t media = audioPackets_ * (codec.frame_size > 0 ? codec.frame_size : 1024);
    const std::int64_t priming = std::max<std::int64_t>(0, -firstPts_);
    const Mp4GaplessInfo gapless(priming, std::max<std::int64_t>(0, media - priming - sourceEnd_), sourceEnd_);
    MediaTags smpb;
    smpb.fields.emplace_back("iTunSMPB", gapless.SmpbText());
    std::vector<std::uint8_t> items = ilstItems_;
    const std::vector<std::uint8_t> smpbItem = Mp4IlstItems(smpb);
    items.insert(items.end(), smpbItem.begin(), smpbItem.end());
    if (!gapless.SetLength(moov) || !AddToMoovIlst(moov, items)) return E_FAIL;
    return Rewrite(moovOffset, moov);
}

std::uint32_t MuxerDest::StreamSerial() const {
    std::uint32_t hash = 2166136261u;
    std::string path;
    std::shared_ptr<IPin> peer;
    PIN_INFO info;
    if (SUCCEEDED(Output().ConnectedTo(peer)) && SUCCEEDED(peer->QueryPinInfo(info)))
        if (auto sink = QueryInterface<IFileSinkFilter2>(info.pFilter)) sink->GetCurFile(path, nullptr);
    hash = Fnv1a(hash, path.data(), path.size());
    const AVCodecParameters& codec = *InputType().codecParameters;
    hash = Fnv1a(hash, &codec.sample_rate, sizeof codec.sample_rate);
    hash = Fnv1a(hash, &codec.bit_rate, sizeof codec.bit_rate);
    if (codec.extradata) hash = Fnv1a(hash, codec.extradata, static_cast<std::size_t>(codec.extradata_size));
    for (const auto& [key, value] : tags_.fields) {
        hash = Fnv1a(hash, key.data(), key.size());
        hash = Fnv1a(hash, value.data(), value.size());
    }
    return Fnv1a(hash, tags_.cover.data(), tags_.cover.size());
}

HRESULT MuxerDest::AddPictures() {
    // Ogg carries them as comments, MP3 in our ID3 tag.
    if (kind_.coverAsComment || &kind_ == &kMp3) return S_OK;
    for (MediaPicture& picture : Pictures(tags_)) {
        AVStream* stream = avformat_new_stream(format_.get(), nullptr);
        if (!stream) return E_OUTOFMEMORY;
        stream->disposition = AV_DISPOSITION_ATTACHED_PIC;
        stream->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        stream->codecpar->codec_id = picture.mime == "image/png" ? AV_CODEC_ID_PNG : AV_CODEC_ID_MJPEG;
        stream->codecpar->width = picture.width > 0 ? picture.width : 1;
        stream->codecpar->height = picture.height > 0 ? picture.height : 1;
        stream->time_base = AVRational{1, 90000};
        av_dict_set(&stream->metadata, "comment", PictureTypeName(picture.type), 0);
        if (!picture.description.empty()) av_dict_set(&stream->metadata, "title", picture.description.c_str(), 0);
        pictureStreams_.emplace_back(stream->index, std::move(picture.data));
    }
    return S_OK;
}

HRESULT MuxerDest::WritePictures() {
    for (const auto& [index, data] : pictureStreams_) {
        AvPacketPtr packet(av_packet_alloc());
        if (!packet || av_new_packet(packet.get(), static_cast<int>(data.size())) < 0) return E_OUTOFMEMORY;
        std::memcpy(packet->data, data.data(), data.size());
        packet->stream_index = index;
        packet->flags |= AV_PKT_FLAG_KEY;
        packet->pts = packet->dts = 0;
        const HRESULT hr = FromAv(av_write_frame(format_.get(), packet.get()));
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT MuxerDest::Transform(MediaSample& sample) {
    if (finalised_ || !format_) return VFW_E_WRONG_STATE;
    const AVStream& audio = *format_->streams[0];
    const int rate = audio.codecpar->sample_rate;
    AvPacketPtr packet(av_packet_alloc());
    if (!packet || av_new_packet(packet.get(), static_cast<int>(sample.data.size())) < 0) return E_OUTOFMEMORY;
    // FLAC's encoder ends with an empty packet that only carries the final STREAMINFO.
    if (!sample.data.empty()) std::memcpy(packet->data, sample.data.data(), sample.data.size());
    // The encoder's times, back in samples: priming before zero, the last packet's real length.
    const std::int64_t pts = std::llround(static_cast<double>(sample.start) * rate / kUnitsPerSecond);
    const std::int64_t duration = sample.frameCount > 0 ? sample.frameCount : 0;
    packet->pts = packet->dts = av_rescale_q(pts, AVRational{1, rate}, audio.time_base);
    packet->duration = av_rescale_q(duration, AVRational{1, rate}, audio.time_base);
    packet->stream_index = 0;
    packet->flags |= AV_PKT_FLAG_KEY;
    if (streamInfo_) {
        const HRESULT hr = AttachStreamInfo(*packet, pts + duration, sample);
        if (FAILED(hr)) return hr;
        if (!sample.data.empty()) NoteFrame(pts, duration);
    }
    // The MP3 muxer stores the encoder's priming and padding in its header from these, so players
    // play exactly the source's samples.
    if (sample.trimStart > 0 || sample.trimEnd > 0) {
        std::uint8_t* skip = av_packet_new_side_data(packet.get(), AV_PKT_DATA_SKIP_SAMPLES, 10);
        if (!skip) return E_OUTOFMEMORY;
        std::memset(skip, 0, 10);
        AV_WL32(skip, sample.trimStart);
        AV_WL32(skip + 4, sample.trimEnd);
    }
    // FFmpeg's Ogg reader learns where a stream of several packets starts only from a first audio
    // page that is not also the last one: without it a short file loses a block's worth of samples.
    int ret = kind_.coverAsComment && audioPackets_ == 1 ? av_write_frame(format_.get(), nullptr) : 0;
    if (ret >= 0) ret = av_write_frame(format_.get(), packet.get());
    if (ret < 0) return FAILED(io_->Failure()) ? io_->Failure() : E_FAIL;
    if (audioPackets_ == 0) firstPts_ = pts;
    if (duration > 0 || audioPackets_ == 0) sourceEnd_ = pts + duration;
    ++audioPackets_;
    return S_OK;
}

HRESULT MuxerDest::AttachStreamInfo(AVPacket& packet, std::int64_t samplesSoFar, const MediaSample& sample) {
    auto& info = *streamInfo_;
    // The encoder's last word holds the MD5 signature and the real frame sizes.
    if (sample.finalHeader.size() == kStreamInfoSize)
        std::memcpy(info.data(), sample.finalHeader.data(), kStreamInfoSize);
    const auto total = static_cast<std::uint64_t>(std::max<std::int64_t>(samplesSoFar, 0));
    info[13] = static_cast<std::uint8_t>((info[13] & 0xF0) | ((total >> 32) & 0x0F));
    for (int i = 0; i < 4; ++i) info[14 + i] = static_cast<std::uint8_t>(total >> (24 - 8 * i));
    std::uint8_t* side = av_packet_new_side_data(&packet, AV_PKT_DATA_NEW_EXTRADATA, kStreamInfoSize);
    if (!side) return E_OUTOFMEMORY;
    std::memcpy(side, info.data(), kStreamInfoSize);
    return S_OK;
}

void MuxerDest::NoteFrame(std::int64_t sample, std::int64_t frames) {
    const std::int64_t offset = avio_tell(format_->pb);
    if (firstFrameOffset_ < 0) firstFrameOffset_ = offset;
    seekTable_->Note(sample, offset - firstFrameOffset_, static_cast<std::uint32_t>(frames));
}

HRESULT MuxerDest::WriteSeekTable() {
    if (!seekTable_ || firstFrameOffset_ < kFlacPaddingSpace) return S_OK;
    const std::vector<std::uint8_t> blocks = seekTable_->Blocks(kFlacPaddingSpace);
    if (blocks.empty()) return S_OK;
    if (avio_seek(format_->pb, firstFrameOffset_ - kFlacPaddingSpace, SEEK_SET) < 0) return E_FAIL;
    avio_write(format_->pb, blocks.data(), static_cast<int>(blocks.size()));
    return io_->Flush();
}

HRESULT MuxerDest::Drain() {
    // A source that ended before any audio gives no file: MP3, Ogg and M4A readers refuse one
    // without a frame, and an empty "Complete" would hide it.
    if (!finalised_ && audioPackets_ == 0) {
        DiscardOutput();
        Close();
        return VFW_E_INVALID_FILE_FORMAT;
    }
    return Finalise();
}

void MuxerDest::StopStreaming() {
    // Stopped before the end: close the file properly with what it holds. A container with no
    // audio in it yet is no playable file (MP3, Ogg and M4A readers refuse it): nothing is kept.
    if (!finalised_ && audioPackets_ == 0) {
        DiscardOutput();
    } else if (!finalised_) {
        Finalise();
    }
    Close();
}

void MuxerDest::DiscardOutput() {
    std::shared_ptr<IPin> peer;
    PIN_INFO info;
    if (FAILED(Output().ConnectedTo(peer)) || FAILED(peer->QueryPinInfo(info))) return;
    if (auto sink = QueryInterface<IStreamAbortSink>(info.pFilter)) sink->OnStreamAborted(S_FALSE);
}

HRESULT MuxerDest::Finalise() {
    if (finalised_ || !format_) return S_OK;
    finalised_ = true;
    const std::int64_t moovOffset = avio_tell(format_->pb);
    const bool m4a = &kind_ == &kM4a;
    if (m4a) io_->KeepFrom(moovOffset);
    const int ret = av_write_trailer(format_.get());
    if (ret >= 0 && m4a) {
        const HRESULT moov = FinishMoov(moovOffset);
        if (FAILED(moov)) return moov;
    }
    const HRESULT table = ret >= 0 ? WriteSeekTable() : S_OK;
    const HRESULT flushed = FAILED(table) ? table : io_->Flush();
    if (FAILED(flushed)) return flushed;
    return FromAv(ret);
}

void MuxerDest::Close() {
    format_.reset();
    io_.reset();
    pictureStreams_.clear();
    commentFill_.reset();
    ilstItems_.clear();
    streamInfo_.reset();
    seekTable_.reset();
    firstFrameOffset_ = -1;
    finalised_ = true;
    audioPackets_ = 0;
    firstPts_ = sourceEnd_ = 0;
}

}  // namespace tessival::media
