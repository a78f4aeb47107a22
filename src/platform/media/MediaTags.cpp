#include "platform/media/MediaTags.h"

#include <sys/stat.h>

#include <memory>

extern "C" {
#include <libavformat/avformat.h>
}

#include "platform/media/ffmpeg/AvPtr.h"

namespace tessival::media {
namespace {

struct TagKey {
    const char* key;
    std::vector<const char*> aliases;  // what some containers' demuxers leave unconverted
};

const std::vector<TagKey>& TagKeys() {
    static const std::vector<TagKey> keys = {
        {"title", {}},
        {"artist", {}},
        {"album", {}},
        {"album_artist", {"albumartist", "album artist"}},
        {"track", {"tracknumber"}},
        {"disc", {"discnumber"}},
        {"date", {"year"}},
        {"genre", {}},
        {"comment", {"description"}},
    };
    return keys;
}

const char* FindValue(const AVDictionary* dictionary, const TagKey& key) {
    if (const AVDictionaryEntry* entry = av_dict_get(dictionary, key.key, nullptr, 0)) return entry->value;
    for (const char* alias : key.aliases)
        if (const AVDictionaryEntry* entry = av_dict_get(dictionary, alias, nullptr, 0)) return entry->value;
    return nullptr;
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
void ReadImageSize(MediaTags& tags) {
    const std::vector<std::uint8_t>& image = tags.cover;
    if (tags.coverMime == "image/png" && image.size() >= 24) {
        tags.coverWidth = static_cast<int>(Be(&image[16], 4));
        tags.coverHeight = static_cast<int>(Be(&image[20], 4));
        return;
    }
    for (std::size_t i = 2; i + 9 < image.size();) {
        if (image[i] != 0xFF) return;
        const std::uint8_t marker = image[i + 1];
        const std::size_t length = Be(&image[i + 2], 2);
        // SOF0 to SOF15, without DHT (C4), JPG (C8) and DAC (CC).
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            tags.coverHeight = static_cast<int>(Be(&image[i + 5], 2));
            tags.coverWidth = static_cast<int>(Be(&image[i + 7], 2));
            return;
        }
        i += 2 + length;
    }
}

}  // namespace

std::string MediaTags::Get(const std::string& key) const {
    for (const auto& [name, value] : fields)
        if (name == key) return value;
    return std::string();
}

MediaTags ReadMediaTags(const std::string& path) {
    MediaTags tags;
    // A FIFO or device would block the open or never end.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return tags;
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return tags;
    const AvInputFormatPtr input(opened);
    // Ogg keeps its comments on the audio stream, the other containers on the file.
    const AVDictionary* streamTags = nullptr;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream& stream = *input->streams[i];
        if (stream.codecpar->codec_type == AVMEDIA_TYPE_AUDIO && !streamTags) streamTags = stream.metadata;
        if ((stream.disposition & AV_DISPOSITION_ATTACHED_PIC) && tags.cover.empty() && stream.attached_pic.size > 0) {
            if (const char* mime = CoverMime(stream.codecpar->codec_id)) {
                tags.cover.assign(stream.attached_pic.data, stream.attached_pic.data + stream.attached_pic.size);
                tags.coverMime = mime;
                ReadImageSize(tags);
            }
        }
    }
    for (const TagKey& key : TagKeys()) {
        const char* value = FindValue(input->metadata, key);
        if (!value && streamTags) value = FindValue(streamTags, key);
        if (value && *value) tags.fields.emplace_back(key.key, value);
    }
    return tags;
}

}  // namespace tessival::media
