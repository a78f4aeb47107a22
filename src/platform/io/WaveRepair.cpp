#include "platform/io/WaveRepair.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <optional>

namespace tessival {
namespace {

constexpr std::int64_t kLeastCompressedAudio = 4096;

std::uint32_t Le32(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

bool PutLe32(int fd, std::int64_t offset, std::uint32_t value) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                    static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return ::pwrite(fd, bytes, 4, offset) == 4;
}

std::int64_t FileSize(int fd) {
    struct stat info {};
    return ::fstat(fd, &info) == 0 ? info.st_size : -1;
}

// Where a RIFF WAVE file's data chunk starts (its header), and the frame size its fmt chunk
// gives; nothing for other files.
struct DataChunk {
    std::int64_t header = 0;
    std::uint32_t blockAlign = 1;
};

std::optional<DataChunk> FindDataChunk(int fd, std::int64_t size) {
    unsigned char head[12];
    if (::pread(fd, head, 12, 0) != 12 || std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
        return std::nullopt;
    DataChunk found;
    for (std::int64_t at = 12; at + 8 <= size;) {
        unsigned char chunk[16];
        if (::pread(fd, chunk, 8, at) != 8) return std::nullopt;
        const std::uint32_t length = Le32(chunk + 4);
        if (std::memcmp(chunk, "data", 4) == 0) {
            found.header = at;
            return found;
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0 && length >= 16 && ::pread(fd, chunk, 16, at + 8) == 16 &&
            (chunk[12] | chunk[13] << 8) > 0)
            found.blockAlign = chunk[12] | chunk[13] << 8;
        at += 8 + static_cast<std::int64_t>(length) + (length & 1);
    }
    return std::nullopt;
}

}  // namespace

bool HoldsAudio(int fd) {
    const std::int64_t size = FileSize(fd);
    if (size < 0) return false;
    if (const auto data = FindDataChunk(fd, size)) return size > data->header + 8;
    unsigned char head[4];
    // A WAVE file without its data chunk yet holds nothing.
    if (::pread(fd, head, 4, 0) == 4 && std::memcmp(head, "RIFF", 4) == 0) return false;
    return size >= kLeastCompressedAudio;
}

bool RepairWaveSizes(int fd) {
    const std::int64_t size = FileSize(fd);
    const auto data = size < 0 ? std::nullopt : FindDataChunk(fd, size);
    if (!data) return size >= 0;
    std::int64_t bytes = size - data->header - 8;
    bytes -= bytes % data->blockAlign;
    // Past 4 GiB the sizes cannot be written in RIFF fields; players read such a file to its end.
    if (size - 8 > UINT32_MAX) return true;
    return PutLe32(fd, data->header + 4, static_cast<std::uint32_t>(bytes)) &&
           PutLe32(fd, 4, static_cast<std::uint32_t>(data->header + bytes));
}

}  // namespace tessival
