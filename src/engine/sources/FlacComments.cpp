#include "engine/sources/FlacComments.h"

#include <strings.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace tessival {
namespace {

constexpr int kVorbisCommentBlock = 4;
constexpr std::uint32_t kMaxCommentBlock = 1u << 20;  // larger blocks hold pictures, not names

struct CommentKey {
    const char* comment;
    const char* key;
};

// The names FLAC taggers use for the fields a naming pattern reads.
constexpr std::array<CommentKey, 10> kCommentKeys = {{{"TITLE", "title"},
                                                     {"ARTIST", "artist"},
                                                     {"ALBUM", "album"},
                                                     {"ALBUMARTIST", "album_artist"},
                                                     {"ALBUM ARTIST", "album_artist"},
                                                     {"ALBUM_ARTIST", "album_artist"},
                                                     {"TRACKNUMBER", "track"},
                                                     {"DISCNUMBER", "disc"},
                                                     {"DATE", "date"},
                                                     {"GENRE", "genre"}}};

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

std::uint32_t Le32(const unsigned char* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

void TakeComment(std::string_view comment, media::MediaTags& tags) {
    const std::size_t equals = comment.find('=');
    if (equals == std::string_view::npos || equals + 1 == comment.size()) return;
    const std::string name(comment.substr(0, equals));
    for (const CommentKey& key : kCommentKeys) {
        if (strcasecmp(name.c_str(), key.comment) != 0 || !tags.Get(key.key).empty()) continue;
        tags.fields.emplace_back(key.key, std::string(comment.substr(equals + 1)));
        return;
    }
}

// vendor length, vendor, count, then length and "NAME=value" each, little-endian.
void ParseComments(const std::string& block, media::MediaTags& tags) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
    std::size_t at = 0;
    const auto take = [&](std::uint32_t& value) {
        if (at + 4 > block.size()) return false;
        value = Le32(bytes + at);
        at += 4;
        return true;
    };
    std::uint32_t length = 0, count = 0;
    if (!take(length) || length > block.size() - at) return;
    at += length;
    if (!take(count)) return;
    for (std::uint32_t i = 0; i < count && take(length) && length <= block.size() - at; ++i, at += length)
        TakeComment(std::string_view(block).substr(at, length), tags);
}

}  // namespace

std::optional<media::MediaTags> ReadFlacComments(const std::string& path) {
    const File file(std::fopen(path.c_str(), "rb"), &std::fclose);
    std::array<unsigned char, 4> header{};
    if (!file || std::fread(header.data(), 1, 4, file.get()) != 4 || std::string_view(reinterpret_cast<char*>(header.data()), 4) != "fLaC")
        return std::nullopt;
    media::MediaTags tags;
    for (bool last = false; !last;) {
        if (std::fread(header.data(), 1, 4, file.get()) != 4) return tags;
        last = header[0] & 0x80;
        const std::uint32_t length = (header[1] << 16) | (header[2] << 8) | header[3];
        if ((header[0] & 0x7F) != kVorbisCommentBlock || length > kMaxCommentBlock) {
            if (std::fseek(file.get(), length, SEEK_CUR) != 0) return tags;
            continue;
        }
        std::string block(length, '\0');
        if (std::fread(block.data(), 1, length, file.get()) != length) return tags;
        ParseComments(block, tags);
        return tags;
    }
    return tags;
}

}  // namespace tessival
