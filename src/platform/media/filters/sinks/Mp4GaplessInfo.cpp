#include "platform/media/filters/sinks/Mp4GaplessInfo.h"

#include <cstdio>
#include <cstring>

namespace tessival::media {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kHeader = 8;

std::uint32_t Be32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}

void PutBe32(Bytes& b, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// The offset of the first child of that type between begin and end, or 0.
std::size_t FindChild(const Bytes& b, std::size_t begin, std::size_t end, const char* type) {
    for (std::size_t at = begin; at + kHeader <= end;) {
        const std::uint32_t size = Be32(b, at);
        if (size < kHeader || at + size > end) return 0;
        if (std::memcmp(b.data() + at + 4, type, 4) == 0) return at;
        at += size;
    }
    return 0;
}

// A duration field of a full box: 32 bits at at0 in version 0, 64 bits at at1 in version 1.
void SetVersioned(Bytes& b, std::size_t box, std::size_t at0, std::size_t at1, std::int64_t value) {
    if (Be32(b, box) <= kHeader) return;  // not even a version byte
    const bool wide = b[box + kHeader] == 1;
    const std::size_t at = box + (wide ? at1 : at0);
    if (at + (wide ? 8 : 4) > box + Be32(b, box)) return;
    if (wide) {
        PutBe32(b, at, static_cast<std::uint32_t>(static_cast<std::uint64_t>(value) >> 32));
        PutBe32(b, at + 4, static_cast<std::uint32_t>(value));
    } else {
        PutBe32(b, at, static_cast<std::uint32_t>(value));
    }
}

}  // namespace

std::string Mp4GaplessInfo::SmpbText() const {
    char text[160];
    std::snprintf(text, sizeof text,
                  " 00000000 %08X %08X %016llX 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000",
                  static_cast<unsigned>(priming_), static_cast<unsigned>(padding_),
                  static_cast<unsigned long long>(length_));
    return text;
}

bool Mp4GaplessInfo::SetLength(Bytes& moov) const {
    if (moov.size() < kHeader || std::memcmp(moov.data() + 4, "moov", 4) != 0 || Be32(moov, 0) != moov.size())
        return false;
    const std::size_t end = moov.size();
    if (const std::size_t mvhd = FindChild(moov, kHeader, end, "mvhd")) SetVersioned(moov, mvhd, 24, 32, length_);
    const std::size_t trak = FindChild(moov, kHeader, end, "trak");
    if (!trak) return true;
    const std::size_t trakEnd = trak + Be32(moov, trak);
    if (const std::size_t tkhd = FindChild(moov, trak + kHeader, trakEnd, "tkhd")) SetVersioned(moov, tkhd, 28, 36, length_);
    const std::size_t edts = FindChild(moov, trak + kHeader, trakEnd, "edts");
    const std::size_t elst = edts ? FindChild(moov, edts + kHeader, edts + Be32(moov, edts), "elst") : 0;
    if (elst && Be32(moov, elst) >= 20 && Be32(moov, elst + 12) >= 1) SetVersioned(moov, elst, 16, 16, length_);
    return true;
}

}  // namespace tessival::media
