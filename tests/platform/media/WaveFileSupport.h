#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace tessival::media::test {

// Where a chunk's body starts in a RIFF file's bytes, and its size field; npos when absent.
struct ChunkAt {
    std::size_t body = std::string::npos;
    std::uint32_t size = 0;
};

inline ChunkAt FindChunk(const std::string& file, const char* id) {
    std::size_t at = 12;
    while (at + 8 <= file.size()) {
        std::uint32_t size;
        std::memcpy(&size, file.data() + at + 4, 4);
        if (file.compare(at, 4, id) == 0) return {at + 8, size};
        if (file.compare(at, 4, "data") == 0) break;
        at += 8 + size + (size & 1);
    }
    return {};
}

inline std::uint32_t U32At(const std::string& file, std::size_t at) {
    std::uint32_t v = 0;
    if (at + 4 <= file.size()) std::memcpy(&v, file.data() + at, 4);
    return v;
}

// RIFF size, data size and pad byte all agree with the file's length.
inline bool SizesAreConsistent(const std::string& file) {
    const ChunkAt data = FindChunk(file, "data");
    if (data.body == std::string::npos || file.compare(0, 4, "RIFF") != 0) return false;
    return U32At(file, 4) == file.size() - 8 && data.body + data.size + (data.size & 1) == file.size();
}

}  // namespace tessival::media::test
