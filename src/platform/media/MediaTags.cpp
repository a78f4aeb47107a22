#include "platform/media/MediaTags.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <string_view>

extern "C" {
#include <libavformat/avformat.h>
}

#include "platform/media/Id3v2Reader.h"
#include "platform/media/Mp4IlstReader.h"
#include "platform/media/TagMapping.h"
#include "platform/media/VorbisComments.h"
#include "platform/media/ffmpeg/AvPtr.h"
#include "platform/media/ffmpeg/MediaFileOpener.h"
#include "platform/media/ffmpeg/WaveMetadata.h"

namespace tessival::media {
namespace {

constexpr int kFrontCover = 3;

int PictureType(const AVDictionary* metadata) {
    const AVDictionaryEntry* comment = av_dict_get(metadata, "comment", nullptr, 0);
    return comment ? PictureTypeFromName(comment->value) : kFrontCover;
}

const char* CoverMime(AVCodecID codec) {
    switch (codec) {
    case AV_CODEC_ID_MJPEG: return "image/jpeg";
    case AV_CODEC_ID_PNG: return "image/png";
    default: return nullptr;
    }
}

std::uint32_t Be(const std::uint8_t* p, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i) value = (value << 8) | p[i];
    return value;
}

// Width and height from a PNG's IHDR or a JPEG's start-of-frame; muxers want them for a picture.
void ReadImageSize(const std::vector<std::uint8_t>& image, const std::string& mime, int& width, int& height) {
    if (mime == "image/png" && image.size() >= 24) {
        width = static_cast<int>(Be(&image[16], 4));
        height = static_cast<int>(Be(&image[20], 4));
        return;
    }
    for (std::size_t i = 2; i + 9 < image.size();) {
        if (image[i] != 0xFF) return;
        const std::uint8_t marker = image[i + 1];
        const std::size_t length = Be(&image[i + 2], 2);
        // SOF0 to SOF15, without DHT (C4), JPG (C8) and DAC (CC).
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            height = static_cast<int>(Be(&image[i + 5], 2));
            width = static_cast<int>(Be(&image[i + 7], 2));
            return;
        }
        i += 2 + length;
    }
}

void TakePicture(const AVStream& stream, MediaTags& tags) {
    const char* mime = CoverMime(stream.codecpar->codec_id);
    if (!mime || stream.attached_pic.size <= 0) return;
    MediaPicture picture{{stream.attached_pic.data, stream.attached_pic.data + stream.attached_pic.size},
                         mime, PictureType(stream.metadata), "", 0, 0};
    if (const AVDictionaryEntry* title = av_dict_get(stream.metadata, "title", nullptr, 0)) picture.description = title->value;
    ReadImageSize(picture.data, picture.mime, picture.width, picture.height);
    tags.otherPictures.push_back(std::move(picture));
}

// The front cover is the first picture marked so, else the first picture of all.
void ChooseCover(MediaTags& tags) {
    if (tags.otherPictures.empty()) return;
    auto front = std::find_if(tags.otherPictures.begin(), tags.otherPictures.end(),
                              [](const MediaPicture& picture) { return picture.type == kFrontCover; });
    if (front == tags.otherPictures.end()) front = tags.otherPictures.begin();
    tags.cover = std::move(front->data);
    tags.coverMime = front->mime;
    tags.coverWidth = front->width;
    tags.coverHeight = front->height;
    tags.otherPictures.erase(front);
}

void TakeFields(const AVDictionary* dictionary, MediaTags& tags) {
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(dictionary, "", entry, AV_DICT_IGNORE_SUFFIX))) {
        const std::string key = TagKeyFor(entry->key);
        if (!key.empty() && *entry->value) tags.fields.emplace_back(key, entry->value);
    }
}

bool IsMp4(const AVInputFormat& format) { return std::string_view(format.name).find("mp4") != std::string_view::npos; }

}  // namespace

std::string MediaTags::Get(const std::string& key) const {
    for (const auto& [name, value] : fields)
        if (name == key) return value;
    return std::string();
}

std::vector<std::string> MediaTags::GetAll(const std::string& key) const {
    std::vector<std::string> values;
    for (const auto& [name, value] : fields)
        if (name == key) values.push_back(value);
    return values;
}

MediaTags ReadMediaTags(const std::string& path) {
    MediaTags tags;
    if (const auto wave = ReadWaveMetadata(path)) {
        TakeFields(wave->get(), tags);
        return tags;
    }
    const AvInputFormatPtr input = OpenMediaFile(path);
    if (!input) return tags;
    // Ogg keeps its comments on the audio stream, the other containers on the file.
    const AVDictionary* streamTags = nullptr;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream& stream = *input->streams[i];
        if (stream.codecpar->codec_type == AVMEDIA_TYPE_AUDIO && !streamTags) streamTags = stream.metadata;
        if (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) TakePicture(stream, tags);
    }
    ChooseCover(tags);
    // libavformat joins repeated Vorbis comments and ID3v2.4 values into one, names TPE3 a
    // performer and drops COMM descriptions, USLT, UFID and MP4 freeform items: the tags are read
    // from the file itself where it has them in one of those forms.
    if (const auto list = ReadVorbisCommentList(path); list && ParseVorbisComments(*list, tags)) return tags;
    if (const auto id3 = ReadId3v2Tag(path); id3 && ParseId3v2Tag(*id3, tags) && !tags.fields.empty()) return tags;
    if (IsMp4(*input->iformat))
        if (const auto items = ReadMp4Ilst(path)) {
            ParseMp4Ilst(*items, tags);
            if (!tags.fields.empty()) return tags;
        }
    TakeFields(input->metadata, tags);
    if (tags.fields.empty() && streamTags) TakeFields(streamTags, tags);
    return tags;
}

}  // namespace tessival::media
