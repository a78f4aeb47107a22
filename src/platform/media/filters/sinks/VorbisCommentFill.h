#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessival::media {

// libavformat's FLAC and Ogg muxers keep one value per comment name, so several artists would
// become one. They are given one placeholder comment instead, exactly as long as the real
// comments together, so the file's layout (FLAC block sizes, Ogg pages) is already right; the
// real comments are then written over it in the header the muxer wrote.
class VorbisCommentFill {
public:
    explicit VorbisCommentFill(std::vector<std::string> comments);

    static constexpr const char* kPlaceholderName = "X";
    // The placeholder's value; empty when there are no comments (then none is needed).
    std::string PlaceholderValue() const;

    // Writes the comments over the placeholder in a FLAC file's metadata blocks, or in the
    // comment header of the first stream of Ogg pages (with the pages' checksums); false when
    // no placeholder is found.
    bool FillFlac(std::vector<std::uint8_t>& header) const;
    bool FillOgg(std::vector<std::uint8_t>& pages) const;

private:
    // In a comment list (vendor, count, comments), the placeholder replaced by the comments.
    bool FillList(std::uint8_t* list, std::size_t size) const;

    std::vector<std::string> comments_;
    std::size_t room_ = 0;  // length prefixes and texts of all comments
};

}  // namespace tessival::media
