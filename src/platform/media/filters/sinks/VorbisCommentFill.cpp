#include "platform/media/filters/sinks/VorbisCommentFill.h"

#include <algorithm>
#include <cstring>
#include <string_view>

extern "C" {
#include <libavutil/crc.h>
}

namespace tessival::media {
namespace {

constexpr int kVorbisCommentBlock = 4;
constexpr std::size_t kOggHeader = 27;

std::uint32_t Le32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }

void SetLe32(std::uint8_t* p, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Where one packet's bytes lie in the pages, and which pages hold them.
struct PacketSpan {
    std::vector<std::pair<std::size_t, std::size_t>> pieces;  // offset, length
    std::vector<std::size_t> pages;                           // page offsets
};

// The second packet (the comment header) of the stream of the first page.
PacketSpan CommentPacket(const std::vector<std::uint8_t>& bytes) {
    PacketSpan span;
    int packet = 0;
    std::uint32_t serial = 0;
    for (std::size_t page = 0; page + kOggHeader <= bytes.size();) {
        if (std::memcmp(&bytes[page], "OggS", 4) != 0) break;
        const unsigned segments = bytes[page + 26];
        if (page + kOggHeader + segments > bytes.size()) break;
        if (page == 0) serial = Le32(&bytes[page + 14]);
        std::size_t body = page + kOggHeader + segments, at = body;
        for (unsigned i = 0; i < segments; ++i) at += bytes[page + kOggHeader + i];
        if (at > bytes.size()) break;
        const std::size_t next = at;
        if (Le32(&bytes[page + 14]) == serial) {
            at = body;
            for (unsigned i = 0; i < segments && packet <= 1; ++i) {
                const std::uint8_t lace = bytes[page + kOggHeader + i];
                if (packet == 1) {
                    span.pieces.emplace_back(at, lace);
                    if (span.pages.empty() || span.pages.back() != page) span.pages.push_back(page);
                }
                at += lace;
                if (lace < 255) ++packet;
            }
            if (packet > 1) return span;
        }
        page = next;
    }
    return PacketSpan{};
}

void UpdateOggChecksum(std::vector<std::uint8_t>& bytes, std::size_t page) {
    const unsigned segments = bytes[page + 26];
    std::size_t size = kOggHeader + segments;
    for (unsigned i = 0; i < segments; ++i) size += bytes[page + kOggHeader + i];
    SetLe32(&bytes[page + 22], 0);
    // libavutil's table gives the checksum byte-swapped: stored big-endian, it lands in Ogg's order.
    const std::uint32_t crc = av_crc(av_crc_get_table(AV_CRC_32_IEEE), 0, &bytes[page], size);
    for (int i = 0; i < 4; ++i) bytes[page + 22 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
}

}  // namespace

VorbisCommentFill::VorbisCommentFill(std::vector<std::string> comments) : comments_(std::move(comments)) {
    for (const std::string& comment : comments_) room_ += 4 + comment.size();
}

std::string VorbisCommentFill::PlaceholderValue() const {
    const std::size_t prefix = 4 + std::strlen(kPlaceholderName) + 1;
    if (comments_.empty() || room_ <= prefix) return std::string();
    return std::string(room_ - prefix, 'x');
}

bool VorbisCommentFill::FillList(std::uint8_t* list, std::size_t size) const {
    const std::string placeholder = std::string(kPlaceholderName) + "=" + PlaceholderValue();
    if (size < 8 || Le32(list) > size - 8) return false;
    std::size_t at = 4 + Le32(list);
    const std::uint32_t count = Le32(list + at);
    const std::size_t countAt = at;
    at += 4;
    for (std::uint32_t i = 0; i < count && at + 4 <= size; ++i) {
        const std::uint32_t length = Le32(list + at);
        if (length > size - at - 4) return false;
        if (std::string_view(reinterpret_cast<const char*>(list + at + 4), length) == placeholder) {
            for (const std::string& comment : comments_) {
                SetLe32(list + at, static_cast<std::uint32_t>(comment.size()));
                std::memcpy(list + at + 4, comment.data(), comment.size());
                at += 4 + comment.size();
            }
            SetLe32(list + countAt, static_cast<std::uint32_t>(count - 1 + comments_.size()));
            return true;
        }
        at += 4 + length;
    }
    return false;
}

bool VorbisCommentFill::FillFlac(std::vector<std::uint8_t>& header) const {
    if (PlaceholderValue().empty()) return false;
    if (header.size() < 4 || std::memcmp(header.data(), "fLaC", 4) != 0) return false;
    for (std::size_t at = 4; at + 4 <= header.size();) {
        const bool last = header[at] & 0x80;
        const std::size_t length = (header[at + 1] << 16) | (header[at + 2] << 8) | header[at + 3];
        if (length > header.size() - at - 4) return false;
        if ((header[at] & 0x7F) == kVorbisCommentBlock) return FillList(&header[at + 4], length);
        if (last) return false;
        at += 4 + length;
    }
    return false;
}

bool VorbisCommentFill::FillOgg(std::vector<std::uint8_t>& pages) const {
    if (PlaceholderValue().empty()) return false;
    const PacketSpan span = CommentPacket(pages);
    std::vector<std::uint8_t> packet;
    for (const auto& [offset, length] : span.pieces) packet.insert(packet.end(), &pages[offset], &pages[offset] + length);
    // Vorbis: type byte and "vorbis"; Opus: "OpusTags"; then the comment list.
    std::size_t start = 0;
    if (packet.size() > 7 && std::memcmp(packet.data(), "\x03vorbis", 7) == 0) start = 7;
    if (packet.size() > 8 && std::memcmp(packet.data(), "OpusTags", 8) == 0) start = 8;
    if (start == 0 || !FillList(packet.data() + start, packet.size() - start)) return false;
    std::size_t from = 0;
    for (const auto& [offset, length] : span.pieces) {
        std::memcpy(&pages[offset], packet.data() + from, length);
        from += length;
    }
    for (const std::size_t page : span.pages) UpdateOggChecksum(pages, page);
    return true;
}

}  // namespace tessival::media
