// M4A: the item list in moov is edited where moov follows the audio (as our muxer writes it), so
// no chunk offset moves: freeform items the edit replaces go, the new ones are added.
#include <cstring>
#include <string_view>

#include "platform/media/filters/sinks/Mp4Ilst.h"
#include "platform/media/retag/TagEdit.h"

namespace tessival::media {
namespace {

constexpr std::size_t kBoxHeader = 8;

std::uint32_t Be32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) << 24 | static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

void SetBe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

bool IsType(std::span<const std::uint8_t> bytes, std::size_t box, const char* type) {
    return std::memcmp(bytes.data() + box + 4, type, 4) == 0;
}

// The child box of that type between from and end; npos when none, or when sizes do not add up.
std::size_t FindChild(std::span<const std::uint8_t> bytes, std::size_t from, std::size_t end, const char* type) {
    for (std::size_t at = from; at + kBoxHeader <= end;) {
        const std::uint32_t size = Be32(bytes, at);
        if (size < kBoxHeader || size > end - at) return std::string_view::npos;
        if (IsType(bytes, at, type)) return at;
        at += size;
    }
    return std::string_view::npos;
}

// Whether each box from `from` to `end` fits there: a box added after a damaged one would be
// out of a reader's reach.
bool ChildrenFit(std::span<const std::uint8_t> bytes, std::size_t from, std::size_t end) {
    for (std::size_t at = from; at + kBoxHeader <= end;) {
        const std::uint32_t size = Be32(bytes, at);
        if (size < kBoxHeader || size > end - at) return false;
        at += size;
    }
    return true;
}

// Whether the boxes on the way to the item list (moov's, udta's and meta's children) all fit.
bool ItemListPathFits(std::span<const std::uint8_t> moov) {
    if (!ChildrenFit(moov, kBoxHeader, moov.size())) return false;
    const std::size_t udta = FindChild(moov, kBoxHeader, moov.size(), "udta");
    if (udta == std::string_view::npos) return true;
    const std::size_t udtaEnd = udta + Be32(moov, udta);
    if (!ChildrenFit(moov, udta + kBoxHeader, udtaEnd)) return false;
    const std::size_t meta = FindChild(moov, udta + kBoxHeader, udtaEnd, "meta");
    return meta == std::string_view::npos || ChildrenFit(moov, meta + kBoxHeader + 4, meta + Be32(moov, meta));
}

// A freeform item's name ("----" holding mean, name and data boxes).
std::string FreeformName(std::span<const std::uint8_t> bytes, std::size_t item) {
    const std::size_t end = item + Be32(bytes, item);
    const std::size_t name = FindChild(bytes, item + kBoxHeader, end, "name");
    if (name == std::string_view::npos || Be32(bytes, name) < kBoxHeader + 4) return {};
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(name + kBoxHeader + 4);
    return std::string(first, first + (Be32(bytes, name) - kBoxHeader - 4));
}

// Drops the freeform items the edit replaces from moov's item list, shrinking the boxes around them.
bool DropItems(std::vector<std::uint8_t>& moov, const TagEdit& edit) {
    const std::size_t udta = FindChild(moov, kBoxHeader, moov.size(), "udta");
    if (udta == std::string_view::npos) return true;
    const std::size_t meta = FindChild(moov, udta + kBoxHeader, udta + Be32(moov, udta), "meta");
    if (meta == std::string_view::npos) return true;
    const std::size_t ilst = FindChild(moov, meta + kBoxHeader + 4, meta + Be32(moov, meta), "ilst");
    if (ilst == std::string_view::npos) return true;
    for (std::size_t at = ilst + kBoxHeader; at + kBoxHeader <= ilst + Be32(moov, ilst);) {
        const std::uint32_t size = Be32(moov, at);
        if (size < kBoxHeader || at + size > ilst + Be32(moov, ilst)) return false;
        if (!IsType(moov, at, "----") || !edit.Drops(FreeformName(moov, at))) {
            at += size;
            continue;
        }
        for (const std::size_t box : {std::size_t{0}, udta, meta, ilst}) SetBe32(moov, box, Be32(moov, box) - size);
        moov.erase(moov.begin() + static_cast<std::ptrdiff_t>(at), moov.begin() + static_cast<std::ptrdiff_t>(at + size));
    }
    return true;
}

}  // namespace

bool RetagM4a(std::span<const std::uint8_t> file, const TagEdit& edit, std::vector<std::uint8_t>& out) {
    std::size_t moovAt = std::string_view::npos;
    for (std::size_t at = 0; at + kBoxHeader <= file.size();) {
        const std::uint32_t size = Be32(file, at);
        // 64-bit and open-ended sizes belong to media data, which must come before moov.
        if (size < kBoxHeader || size > file.size() - at) {
            if (moovAt != std::string_view::npos || !IsType(file, at, "mdat")) return false;
            break;
        }
        if (IsType(file, at, "moov")) moovAt = at;
        if (IsType(file, at, "mdat") && moovAt != std::string_view::npos) return false;
        at += size;
    }
    if (moovAt == std::string_view::npos) return false;
    const std::size_t moovEnd = moovAt + Be32(file, moovAt);
    std::vector<std::uint8_t> moov(file.begin() + static_cast<std::ptrdiff_t>(moovAt),
                                   file.begin() + static_cast<std::ptrdiff_t>(moovEnd));
    if (!ItemListPathFits(moov)) return false;
    MediaTags tags;
    tags.fields = edit.set;
    if (!DropItems(moov, edit) || !AddToMoovIlst(moov, Mp4IlstItems(tags))) return false;
    out.assign(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(moovAt));
    out.insert(out.end(), moov.begin(), moov.end());
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(moovEnd), file.end());
    return true;
}

}  // namespace tessival::media
