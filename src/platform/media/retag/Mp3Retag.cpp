// MP3: the ID3v2 tag at the start is written anew with its frames as they were, less the TXXX
// frames the edit replaces, plus one TXXX frame per set field; the audio after it stays as it is.
// A tag with an extended header, a footer, unsynchronisation or a size that is not sync-safe is
// left alone.
#include <cstring>

#include "platform/media/retag/TagEdit.h"

namespace tessival::media {
namespace {

constexpr std::size_t kTagHeader = 10;

std::size_t SyncSafe(const std::uint8_t* at) {
    return std::size_t{at[0]} << 21 | std::size_t{at[1]} << 14 | std::size_t{at[2]} << 7 | at[3];
}

// Readers mask a size byte's high bit; taking it whole would put the audio elsewhere than they do.
bool IsSyncSafe(const std::uint8_t* at) {
    return ((at[0] | at[1] | at[2] | at[3]) & 0x80) == 0;
}

void PutSize(std::vector<std::uint8_t>& out, std::size_t size, bool syncSafe) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(syncSafe ? (size >> (7 * i)) & 0x7F : size >> (8 * i)));
}

// The description of a TXXX frame's body, in any of its text encodings (names are ASCII).
std::string Description(std::span<const std::uint8_t> body) {
    if (body.empty()) return {};
    const bool wide = body[0] == 1 || body[0] == 2;
    std::string text;
    std::size_t at = 1;
    if (wide && body.size() >= 3 && (body[1] == 0xFF || body[1] == 0xFE)) at = 3;
    const bool littleEndian = body[0] == 1 && body.size() >= 3 && body[1] == 0xFF;
    for (; at + (wide ? 1 : 0) < body.size(); at += wide ? 2 : 1) {
        const std::uint8_t c = wide ? body[at + (littleEndian ? 0 : 1)] : body[at];
        if (c == 0 && (!wide || body[at + (littleEndian ? 1 : 0)] == 0)) break;
        text += static_cast<char>(c);
    }
    return text;
}

void PutTxxx(std::vector<std::uint8_t>& out, const std::string& name, const std::string& value, bool v24) {
    out.insert(out.end(), {'T', 'X', 'X', 'X'});
    PutSize(out, 1 + name.size() + 1 + value.size(), v24);
    out.insert(out.end(), {0, 0, static_cast<std::uint8_t>(v24 ? 3 : 0)});  // UTF-8 in 2.4, Latin-1 in 2.3
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
    out.insert(out.end(), value.begin(), value.end());
}

}  // namespace

bool RetagMp3(std::span<const std::uint8_t> file, const TagEdit& edit, std::vector<std::uint8_t>& out) {
    std::uint8_t major = 4;
    std::size_t audioAt = 0;
    std::vector<std::uint8_t> frames;
    if (file.size() >= kTagHeader && std::memcmp(file.data(), "ID3", 3) == 0) {
        major = file[3];
        if ((major != 3 && major != 4) || (file[5] & 0xD0) != 0 || !IsSyncSafe(file.data() + 6)) return false;
        audioAt = kTagHeader + SyncSafe(file.data() + 6);
        if (audioAt > file.size()) return false;
        for (std::size_t at = kTagHeader; at + kTagHeader <= audioAt && file[at] != 0;) {
            const std::size_t size = major == 4 ? SyncSafe(file.data() + at + 4)
                                                : std::size_t{file[at + 4]} << 24 | std::size_t{file[at + 5]} << 16 |
                                                      std::size_t{file[at + 6]} << 8 | file[at + 7];
            if (audioAt - at - kTagHeader < size) return false;
            const auto frame = file.subspan(at, kTagHeader + size);
            const bool replaced = std::memcmp(frame.data(), "TXXX", 4) == 0 && edit.Drops(Description(frame.subspan(kTagHeader)));
            if (!replaced) frames.insert(frames.end(), frame.begin(), frame.end());
            at += kTagHeader + size;
        }
    }
    for (const auto& [name, value] : edit.set) PutTxxx(frames, name, value, major == 4);
    out = {'I', 'D', '3', major, 0, 0};
    PutSize(out, frames.size(), true);
    out.insert(out.end(), frames.begin(), frames.end());
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(audioAt), file.end());
    return true;
}

}  // namespace tessival::media
