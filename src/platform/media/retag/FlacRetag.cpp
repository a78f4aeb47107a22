// FLAC: the VORBIS_COMMENT metadata block is replaced (or added after STREAMINFO); the other
// blocks, padding included, and the frames stay as they are.
#include <algorithm>

#include "platform/media/retag/TagEdit.h"
#include "platform/media/retag/VorbisCommentList.h"

namespace tessival::media {
namespace {

constexpr std::uint8_t kVorbisCommentBlock = 4;
constexpr std::uint8_t kLastBlockFlag = 0x80;
constexpr std::size_t kMostBlockBytes = 0xFFFFFF;

struct Block {
    std::uint8_t type;
    std::span<const std::uint8_t> body;
};

void PutBlock(std::vector<std::uint8_t>& out, std::uint8_t type, bool last, std::span<const std::uint8_t> body) {
    out.push_back(static_cast<std::uint8_t>(type | (last ? kLastBlockFlag : 0)));
    for (int shift = 16; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(body.size() >> shift));
    out.insert(out.end(), body.begin(), body.end());
}

}  // namespace

bool RetagFlac(std::span<const std::uint8_t> file, const TagEdit& edit, std::vector<std::uint8_t>& out) {
    // Without its marker a file is bare frames to a reader, which would never see the comments.
    static constexpr std::uint8_t kMarker[4] = {'f', 'L', 'a', 'C'};
    if (file.size() < sizeof kMarker || !std::equal(kMarker, kMarker + sizeof kMarker, file.begin())) return false;
    std::vector<Block> blocks;
    std::size_t at = 4;
    for (bool last = false; !last;) {
        if (file.size() < at + 4) return false;
        last = (file[at] & kLastBlockFlag) != 0;
        const std::uint8_t type = file[at] & 0x7F;
        const std::size_t length = std::size_t{file[at + 1]} << 16 | std::size_t{file[at + 2]} << 8 | file[at + 3];
        at += 4;
        if (file.size() - at < length) return false;
        blocks.push_back({type, file.subspan(at, length)});
        at += length;
    }
    if (blocks.empty() || blocks.front().type != 0) return false;  // STREAMINFO comes first
    static constexpr std::uint8_t kEmptyList[8] = {};
    std::vector<std::uint8_t> comments;
    auto found = std::find_if(blocks.begin(), blocks.end(), [](const Block& b) { return b.type == kVorbisCommentBlock; });
    if (found == blocks.end()) found = blocks.insert(blocks.begin() + 1, Block{kVorbisCommentBlock, kEmptyList});
    if (!EditVorbisComments(found->body, edit, comments) || comments.size() > kMostBlockBytes) return false;
    found->body = comments;
    out.assign(file.begin(), file.begin() + 4);
    for (std::size_t i = 0; i < blocks.size(); ++i) PutBlock(out, blocks[i].type, i + 1 == blocks.size(), blocks[i].body);
    out.insert(out.end(), file.begin() + static_cast<std::ptrdiff_t>(at), file.end());
    return true;
}

}  // namespace tessival::media
