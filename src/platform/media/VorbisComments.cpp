#include "platform/media/VorbisComments.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "platform/media/TagMapping.h"

namespace tessival::media {
namespace {

constexpr int kVorbisCommentBlock = 4;
constexpr std::size_t kMostCommentBytes = 64u << 20;  // a list with pictures in it, not a hostile length

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

std::uint32_t Le32(const unsigned char* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

// Vorbis comment names are printable ASCII without '='.
bool IsCommentName(const std::string& name) {
    if (name.empty()) return false;
    for (const char c : name)
        if (c < 0x20 || c > 0x7D || c == '=') return false;
    return true;
}

bool ReadExactly(std::FILE* file, void* data, std::size_t size) { return std::fread(data, 1, size, file) == size; }

std::optional<std::string> FlacCommentList(std::FILE* file) {
    std::array<unsigned char, 4> header{};
    for (bool last = false; !last;) {
        if (!ReadExactly(file, header.data(), header.size())) return std::nullopt;
        last = header[0] & 0x80;
        const std::uint32_t length = (header[1] << 16) | (header[2] << 8) | header[3];
        if ((header[0] & 0x7F) != kVorbisCommentBlock) {
            if (std::fseek(file, length, SEEK_CUR) != 0) return std::nullopt;
            continue;
        }
        std::string block(length, '\0');
        if (!ReadExactly(file, block.data(), length)) return std::nullopt;
        return block;
    }
    return std::nullopt;
}

// The second packet of the first logical stream: its comment header.
std::optional<std::string> OggCommentList(std::FILE* file) {
    std::string packet;
    int packetIndex = 0;
    std::uint32_t serial = 0;
    bool first = true;
    std::array<unsigned char, 27> header{};
    std::array<unsigned char, 255> lacing{};
    std::string body;
    while (ReadExactly(file, header.data(), header.size()) && std::string_view(reinterpret_cast<char*>(header.data()), 4) == "OggS") {
        const unsigned segments = header[26];
        if (!ReadExactly(file, lacing.data(), segments)) return std::nullopt;
        std::size_t bodySize = 0;
        for (unsigned i = 0; i < segments; ++i) bodySize += lacing[i];
        body.resize(bodySize);
        if (!ReadExactly(file, body.data(), bodySize)) return std::nullopt;
        const std::uint32_t pageSerial = Le32(&header[14]);
        if (first) serial = pageSerial;
        first = false;
        if (pageSerial != serial) continue;
        std::size_t at = 0;
        for (unsigned i = 0; i < segments; ++i) {
            if (packetIndex == 1) packet.append(body, at, lacing[i]);
            at += lacing[i];
            if (lacing[i] == 255) continue;
            if (packetIndex == 1) {
                if (packet.rfind("\x03vorbis", 0) == 0) return packet.substr(7);
                if (packet.rfind("OpusTags", 0) == 0) return packet.substr(8);
                return std::nullopt;
            }
            ++packetIndex;
        }
        if (packet.size() > kMostCommentBytes) return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> VorbisCommentsFor(const MediaTags& tags) {
    std::vector<std::string> comments;
    for (const auto& [key, value] : tags.fields) {
        const TagField* field = FindTagField(key);
        const std::string name = field ? field->vorbis : key;
        if (value.empty() || !IsCommentName(name)) continue;
        comments.push_back(name + "=" + value);
    }
    return comments;
}

bool ParseVorbisComments(std::string_view list, MediaTags& tags) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(list.data());
    std::size_t at = 0;
    const auto take = [&](std::uint32_t& value) {
        if (at + 4 > list.size()) return false;
        value = Le32(bytes + at);
        at += 4;
        return true;
    };
    std::uint32_t length = 0, count = 0;
    if (!take(length) || length > list.size() - at) return false;
    at += length;
    if (!take(count)) return false;
    for (std::uint32_t i = 0; i < count; ++i, at += length) {
        if (!take(length) || length > list.size() - at) return false;
        const std::string_view comment = list.substr(at, length);
        const std::size_t equals = comment.find('=');
        if (equals == std::string_view::npos || equals + 1 == comment.size()) continue;
        const std::string key = TagKeyFor(comment.substr(0, equals));
        if (!key.empty()) tags.fields.emplace_back(key, std::string(comment.substr(equals + 1)));
    }
    return true;
}

std::optional<std::string> ReadVorbisCommentList(const std::string& path) {
    const File file(std::fopen(path.c_str(), "rb"), &std::fclose);
    std::array<char, 4> magic{};
    if (!file || !ReadExactly(file.get(), magic.data(), magic.size())) return std::nullopt;
    const std::string_view start(magic.data(), magic.size());
    if (start == "fLaC") return FlacCommentList(file.get());
    if (start != "OggS" || std::fseek(file.get(), 0, SEEK_SET) != 0) return std::nullopt;
    return OggCommentList(file.get());
}

}  // namespace tessival::media
