#pragma once

// Tags made of fuzz input: fields under the names the writers map (and names of the input's own),
// any bytes as values, several values per name, pictures, and on demand one value of megabytes.
#include <optional>
#include <string>

#include "InputBytes.h"
#include "platform/media/MediaTags.h"

namespace tessival::fuzz {

namespace detail {

constexpr const char* kTagKeys[] = {
    "title",   "artist",      "album",       "album_artist", "track",   "TRACKTOTAL",           "disc",
    "DISCTOTAL", "date",      "genre",       "comment",      "COMPOSER", "BPM",                 "COMPILATION",
    "LYRICS",  "ORIGINALDATE", "ISRC",       "REPLAYGAIN_TRACK_GAIN",  "MUSICBRAINZ_TRACKID", "iTunSMPB",
};
constexpr std::size_t kTagKeyCount = sizeof kTagKeys / sizeof kTagKeys[0];
constexpr std::size_t kMostFields = 12;

inline bool ValidUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || (extra > 0 && lead < 0xC2)) return false;
        for (int k = 1; k <= extra; ++k)
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        if (extra == 2 && lead == 0xED && static_cast<unsigned char>(text[i + 1]) >= 0xA0) return false;  // surrogates
        if (extra == 3 && (lead > 0xF4 || (lead == 0xF4 && static_cast<unsigned char>(text[i + 1]) >= 0x90))) return false;
        if (extra == 2 && lead == 0xE0 && static_cast<unsigned char>(text[i + 1]) < 0xA0) return false;  // overlong
        if (extra == 3 && lead == 0xF0 && static_cast<unsigned char>(text[i + 1]) < 0x90) return false;
        i += 1 + extra;
    }
    return true;
}

}  // namespace detail

// Layout: a count byte, then per field a name byte (a known name, a picture, or a name of its
// own that follows the value), a length byte and the value. With a huge shift, the last value
// is repeated to a length read from two more bytes, shifted left by it.
inline media::MediaTags ReadTags(InputBytes& input, int hugeShift = 0) {
    media::MediaTags tags;
    const std::size_t count = input.Byte() % (detail::kMostFields + 1);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t name = input.Byte();
        std::string value = input.Text(input.Byte());
        if (name < detail::kTagKeyCount) {
            tags.fields.emplace_back(detail::kTagKeys[name], std::move(value));
        } else if (name < detail::kTagKeyCount + 2) {
            tags.cover.assign(value.begin(), value.end());
            tags.coverMime = name % 2 ? "image/png" : "image/jpeg";
        } else if (name < detail::kTagKeyCount + 4) {
            tags.otherPictures.push_back({{value.begin(), value.end()}, name % 2 ? "image/png" : "image/jpeg", name % 21, value.substr(0, 8), 0, 0});
        } else {
            tags.fields.emplace_back(input.Text(name % 16), std::move(value));
        }
    }
    if (hugeShift > 0 && !tags.fields.empty() && !tags.fields.back().second.empty()) {
        std::string& value = tags.fields.back().second;
        const std::size_t length = std::size_t{input.Word()} << hugeShift;
        const std::string unit = value;
        while (value.size() < length) value += unit;
    }
    return tags;
}

// The title a reader must find: the one value of "title" when the writers can carry it as it is
// (text without control characters).
inline std::optional<std::string> ExpectedTitle(const media::MediaTags& tags) {
    const auto titles = tags.GetAll("title");
    if (titles.size() != 1 || titles.front().empty() || !detail::ValidUtf8(titles.front())) return std::nullopt;
    for (const char c : titles.front())
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
    return titles.front();
}

}  // namespace tessival::fuzz
