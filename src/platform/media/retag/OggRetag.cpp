// Ogg Vorbis and Opus: the comment header packet is edited and its pages made anew; the pages
// after it keep their bytes but for their sequence numbers and checksums, which follow the new
// count of header pages.
#include <array>
#include <cstring>
#include <utility>

#include "platform/media/retag/TagEdit.h"
#include "platform/media/retag/VorbisCommentList.h"

namespace tessival::media {
namespace {

constexpr std::size_t kHeaderBytes = 27;
constexpr std::uint8_t kContinued = 0x01;

std::array<std::uint32_t, 256> CrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t r = i << 24;
        for (int bit = 0; bit < 8; ++bit) r = r & 0x80000000u ? (r << 1) ^ 0x04C11DB7u : r << 1;
        table[i] = r;
    }
    return table;
}

// Writes the checksum of a whole page into its header.
void Seal(std::span<std::uint8_t> page) {
    static const std::array<std::uint32_t, 256> table = CrcTable();
    std::memset(page.data() + 22, 0, 4);
    std::uint32_t crc = 0;
    for (const std::uint8_t byte : page) crc = (crc << 8) ^ table[((crc >> 24) ^ byte) & 0xFF];
    for (int i = 0; i < 4; ++i) page[22 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
}

std::uint32_t Le32(std::span<const std::uint8_t> bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | bytes[at + i];
    return value;
}

void PutLe(std::uint8_t* at, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

struct Page {
    std::span<const std::uint8_t> whole;
    std::span<const std::uint8_t> lacing;
    std::span<const std::uint8_t> body;
    std::uint32_t serial = 0;
    std::uint32_t sequence = 0;
};

bool ReadPage(std::span<const std::uint8_t> file, std::size_t at, Page& page) {
    if (file.size() < at + kHeaderBytes || std::memcmp(file.data() + at, "OggS", 4) != 0) return false;
    const std::size_t segments = file[at + 26];
    if (file.size() < at + kHeaderBytes + segments) return false;
    page.lacing = file.subspan(at + kHeaderBytes, segments);
    std::size_t bodyBytes = 0;
    for (const std::uint8_t lace : page.lacing) bodyBytes += lace;
    const std::size_t bodyAt = at + kHeaderBytes + segments;
    if (file.size() - bodyAt < bodyBytes) return false;
    page.body = file.subspan(bodyAt, bodyBytes);
    page.whole = file.subspan(at, bodyAt + bodyBytes - at);
    page.serial = Le32(file, at + 14);
    page.sequence = Le32(file, at + 18);
    return true;
}

// Pages for whole packets, each packet starting a page of its own.
std::uint32_t PutPackets(std::vector<std::uint8_t>& out, const std::vector<std::vector<std::uint8_t>>& packets,
                         std::uint32_t serial, std::uint32_t sequence) {
    for (const auto& packet : packets) {
        std::vector<std::uint8_t> lacing;
        for (std::size_t left = packet.size();; left -= 255) {
            lacing.push_back(static_cast<std::uint8_t>(std::min<std::size_t>(left, 255)));
            if (left < 255) break;
        }
        std::size_t sent = 0;
        for (std::size_t first = 0; first < lacing.size(); first += 255, ++sequence) {
            const std::size_t count = std::min<std::size_t>(lacing.size() - first, 255);
            const bool ends = first + count == lacing.size();
            std::size_t bytes = 0;
            for (std::size_t i = first; i < first + count; ++i) bytes += lacing[i];
            const std::size_t start = out.size();
            out.resize(start + kHeaderBytes);
            std::memcpy(out.data() + start, "OggS", 4);
            out[start + 5] = first > 0 ? kContinued : 0;
            // Header pages sit at granule 0; a page on which no packet ends has none.
            PutLe(out.data() + start + 6, ends ? 0 : ~std::uint64_t{0}, 8);
            PutLe(out.data() + start + 14, serial, 4);
            PutLe(out.data() + start + 18, sequence, 4);
            out[start + 26] = static_cast<std::uint8_t>(count);
            out.insert(out.end(), lacing.begin() + first, lacing.begin() + first + count);
            out.insert(out.end(), packet.begin() + sent, packet.begin() + sent + bytes);
            sent += bytes;
            Seal(std::span(out).subspan(start));
        }
    }
    return sequence;
}

bool EditCommentPacket(std::vector<std::uint8_t>& packet, const TagEdit& edit) {
    const std::size_t magic = packet.size() >= 8 && std::memcmp(packet.data(), "OpusTags", 8) == 0 ? 8
                              : packet.size() >= 7 && std::memcmp(packet.data(), "\x03vorbis", 7) == 0 ? 7
                                                                                                      : 0;
    if (magic == 0) return false;
    std::vector<std::uint8_t> edited(packet.begin(), packet.begin() + magic);
    if (!EditVorbisComments(std::span(packet).subspan(magic), edit, edited)) return false;
    packet = std::move(edited);
    return true;
}

}  // namespace

bool RetagOgg(std::span<const std::uint8_t> file, const TagEdit& edit, std::vector<std::uint8_t>& out) {
    Page first;
    if (!ReadPage(file, 0, first) || first.body.size() < 8) return false;
    const bool opus = std::memcmp(first.body.data(), "OpusHead", 8) == 0;
    const std::size_t headerPackets = opus ? 2 : 3;
    // The header packets after the identification one, read up to the page where the last ends;
    // audio starts on a page of its own.
    std::vector<std::vector<std::uint8_t>> packets;
    std::vector<std::uint8_t> partial;
    std::size_t at = first.whole.size();
    std::uint32_t oldSequence = first.sequence;
    while (packets.size() + 1 < headerPackets) {
        Page page;
        if (!ReadPage(file, at, page)) return false;
        at += page.whole.size();
        if (page.serial != first.serial) continue;
        oldSequence = page.sequence;
        std::size_t offset = 0;
        for (const std::uint8_t lace : page.lacing) {
            if (packets.size() + 1 == headerPackets) return false;
            partial.insert(partial.end(), page.body.begin() + offset, page.body.begin() + offset + lace);
            offset += lace;
            if (lace < 255) packets.push_back(std::exchange(partial, {}));
        }
    }
    if (!EditCommentPacket(packets.front(), edit)) return false;
    out.assign(first.whole.begin(), first.whole.end());
    const std::uint32_t next = PutPackets(out, packets, first.serial, first.sequence + 1);
    const std::uint32_t shift = next - (oldSequence + 1);
    while (at < file.size()) {
        Page page;
        if (!ReadPage(file, at, page)) return false;
        at += page.whole.size();
        const std::size_t start = out.size();
        out.insert(out.end(), page.whole.begin(), page.whole.end());
        if (page.serial != first.serial || shift == 0) continue;
        PutLe(out.data() + start + 18, page.sequence + shift, 4);
        Seal(std::span(out).subspan(start));
    }
    return true;
}

}  // namespace tessival::media
