#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace tessival::media {

using TagPairs = std::vector<std::pair<std::string, std::string>>;

// A change to a finished file's free-form tags: fields whose name (any case) is set or starts with
// a dropped prefix go, then the set fields are added in their order (Drops says which go).
struct TagEdit {
    TagPairs set;
    std::vector<std::string> dropPrefixes;

    bool Drops(const std::string& key) const;
};

// The containers whose tags can be changed after the fact.
enum class TagContainer { Unknown, Flac, OggVorbis, OggOpus, Mp3, M4a };
TagContainer ProbeTagContainer(const std::string& path);

// Rewrites the file's tags through the atomic replace, the audio untouched; 0 or an errno value
// (ENOTSUP for a container it does not know, EBADMSG for one it cannot parse). The file stays as it
// was unless the whole rewrite succeeds.
int RewriteTags(const std::string& path, const TagEdit& edit);

// The same per container, on the file's bytes; false when they do not parse.
bool RetagFlac(std::span<const std::uint8_t> file, const TagEdit& edit, std::vector<std::uint8_t>& out);
bool RetagOgg(std::span<const std::uint8_t> file, const TagEdit& edit, std::vector<std::uint8_t>& out);
bool RetagMp3(std::span<const std::uint8_t> file, const TagEdit& edit, std::vector<std::uint8_t>& out);
bool RetagM4a(std::span<const std::uint8_t> file, const TagEdit& edit, std::vector<std::uint8_t>& out);

}  // namespace tessival::media
