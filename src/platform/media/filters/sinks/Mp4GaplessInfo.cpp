#include "platform/media/filters/sinks/Mp4GaplessInfo.h"

#include <cstdio>
#include <cstring>
#include <string>

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

void PutBe64(Bytes& b, std::size_t at, std::uint64_t value) {
    PutBe32(b, at, static_cast<std::uint32_t>(value >> 32));
    PutBe32(b, at + 4, static_cast<std::uint32_t>(value));
}

Bytes Box(const char* type, const Bytes& payload) {
    Bytes box(kHeader);
    PutBe32(box, 0, static_cast<std::uint32_t>(kHeader + payload.size()));
    std::memcpy(box.data() + 4, type, 4);
    box.insert(box.end(), payload.begin(), payload.end());
    return box;
}

Bytes Text(const std::string& text, std::size_t zeros) {
    Bytes bytes(zeros, 0);
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

bool IsType(const Bytes& b, std::size_t at, const char* type) { return std::memcmp(b.data() + at + 4, type, 4) == 0; }

// Where a box's children start: "meta" is a full box.
std::size_t ChildrenAt(const Bytes& box) { return IsType(box, 0, "meta") ? kHeader + 4 : kHeader; }

// The offset of the first child of that type, or 0.
std::size_t FindChild(const Bytes& box, const char* type) {
    for (std::size_t at = ChildrenAt(box); at + kHeader <= box.size();) {
        const std::uint32_t size = Be32(box, at);
        if (size < kHeader || at + size > box.size()) return 0;
        if (IsType(box, at, type)) return at;
        at += size;
    }
    return 0;
}

Bytes EmptyBox(const char* type) {
    if (std::strcmp(type, "meta") != 0) return Box(type, {});
    // iTunes metadata is announced by an "mdir" handler.
    Bytes handler = Text("mdirappl", 8);
    handler.resize(handler.size() + 9, 0);
    Bytes payload(4, 0);
    const Bytes hdlr = Box("hdlr", handler);
    payload.insert(payload.end(), hdlr.begin(), hdlr.end());
    return Box("meta", payload);
}

// Appends child at the end of the box the path names under box, making the boxes that are missing.
bool AppendAt(Bytes& box, const char* const* path, std::size_t depth, const Bytes& child) {
    if (depth == 0) {
        box.insert(box.end(), child.begin(), child.end());
    } else {
        const std::size_t at = FindChild(box, path[0]);
        Bytes inner = at ? Bytes(box.begin() + at, box.begin() + at + Be32(box, at)) : EmptyBox(path[0]);
        if (!AppendAt(inner, path + 1, depth - 1, child)) return false;
        if (at) {
            const auto from = box.begin() + static_cast<std::ptrdiff_t>(at);
            box.erase(from, from + Be32(box, at));
            box.insert(box.begin() + static_cast<std::ptrdiff_t>(at), inner.begin(), inner.end());
        } else {
            box.insert(box.end(), inner.begin(), inner.end());
        }
    }
    PutBe32(box, 0, static_cast<std::uint32_t>(box.size()));
    return true;
}

// A duration field of a full box that is 32 bits in version 0 and 64 in version 1.
void SetVersioned(Bytes& b, std::size_t box, std::size_t at0, std::size_t at1, std::int64_t value) {
    const bool wide = b[box + kHeader] == 1;
    const std::size_t at = box + (wide ? at1 : at0);
    if (at + (wide ? 8 : 4) > box + Be32(b, box)) return;
    if (wide) PutBe64(b, at, static_cast<std::uint64_t>(value));
    else PutBe32(b, at, static_cast<std::uint32_t>(value));
}

}  // namespace

Bytes Mp4GaplessInfo::SmpbAtom() const {
    char text[160];
    std::snprintf(text, sizeof text,
                  " 00000000 %08X %08X %016llX 00000000 00000000 00000000 00000000 00000000 00000000 00000000 00000000",
                  static_cast<unsigned>(priming_), static_cast<unsigned>(padding_),
                  static_cast<unsigned long long>(length_));
    Bytes payload = Box("mean", Text("com.apple.iTunes", 4));
    const Bytes name = Box("name", Text("iTunSMPB", 4));
    Bytes value = Text(text, 8);
    value[3] = 1;  // UTF-8 text
    const Bytes data = Box("data", value);
    payload.insert(payload.end(), name.begin(), name.end());
    payload.insert(payload.end(), data.begin(), data.end());
    return Box("----", payload);
}

void Mp4GaplessInfo::SetDurations(Bytes& moov) const {
    if (const std::size_t mvhd = FindChild(moov, "mvhd")) SetVersioned(moov, mvhd, 24, 32, length_);
    const std::size_t trak = FindChild(moov, "trak");
    if (!trak) return;
    Bytes track(moov.begin() + trak, moov.begin() + trak + Be32(moov, trak));
    if (const std::size_t tkhd = FindChild(track, "tkhd")) SetVersioned(track, tkhd, 28, 36, length_);
    if (const std::size_t edts = FindChild(track, "edts")) {
        Bytes edits(track.begin() + edts, track.begin() + edts + Be32(track, edts));
        const std::size_t elst = FindChild(edits, "elst");
        if (elst && Be32(edits, elst + 12) >= 1) SetVersioned(edits, elst, 16, 16, length_);
        std::copy(edits.begin(), edits.end(), track.begin() + edts);
    }
    std::copy(track.begin(), track.end(), moov.begin() + trak);
}

Bytes Mp4GaplessInfo::Apply(Bytes moov) const {
    if (moov.size() < kHeader || !IsType(moov, 0, "moov") || Be32(moov, 0) != moov.size()) return {};
    SetDurations(moov);
    static const char* const kPath[] = {"udta", "meta", "ilst"};
    if (!AppendAt(moov, kPath, 3, SmpbAtom())) return {};
    return moov;
}

}  // namespace tessival::media
