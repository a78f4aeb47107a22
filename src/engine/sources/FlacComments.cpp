#include "engine/sources/FlacComments.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "platform/media/VorbisComments.h"

namespace tessival {
namespace {

constexpr int kVorbisCommentBlock = 4;
constexpr std::uint32_t kMaxCommentBlock = 1u << 20;  // larger blocks hold pictures, not names

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

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
        media::ParseVorbisComments(block, tags);
        return tags;
    }
    return tags;
}

}  // namespace tessival
