#include "platform/devices/ImageTrackReader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace tessival {

ImageTrackReader::ImageTrackReader(const CdDisc& disc, const DiscTrack& track, CdReadOptions options)
    : CdTrackReader(disc, track, std::move(options)), layout_(*disc.Layout()) {}

std::unique_ptr<CdTrackReader> ImageTrackReader::Open(const CdDisc& disc, const DiscTrack& track,
                                                      CdReadOptions options) {
    std::unique_ptr<ImageTrackReader> reader(new ImageTrackReader(disc, track, std::move(options)));
    for (const DiscLayout::File& file : reader->layout_.files) {
        reader->files_.emplace_back(::open(file.path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!reader->files_.back().Valid()) return nullptr;
    }
    return reader;
}

bool ImageTrackReader::ReadStretch(const DiscLayout::Segment& segment, std::int64_t from, std::int64_t length,
                                   std::uint8_t* out) {
    if (segment.file < 0) {
        // Silence, or the edge of a data track reached through the read offset.
        std::memset(out, 0, static_cast<std::size_t>(length));
        return true;
    }
    const int fd = files_[static_cast<std::size_t>(segment.file)].Get();
    const off_t at = static_cast<off_t>(segment.fileOffset + (from - segment.discStart));
    if (::pread(fd, out, static_cast<std::size_t>(length), at) != static_cast<ssize_t>(length)) return false;
    if (segment.bigEndian)
        for (std::int64_t i = 0; i + 1 < length; i += 2) std::swap(out[i], out[i + 1]);
    return true;
}

bool ImageTrackReader::ReadDiscSector(std::int32_t sector, std::uint8_t* out) {
    const std::vector<DiscLayout::Segment>& segments = layout_.segments;
    const std::int64_t start = static_cast<std::int64_t>(sector) * DiscLayout::kSectorBytes;
    const std::int64_t end = start + DiscLayout::kSectorBytes;
    std::int64_t from = start;
    if (segment_ >= segments.size() || segments[segment_].discStart > from) segment_ = 0;
    while (from < end) {
        while (segment_ < segments.size() && segments[segment_].discStart + segments[segment_].length <= from)
            ++segment_;
        if (segment_ >= segments.size() || segments[segment_].discStart > from) return false;
        const DiscLayout::Segment& segment = segments[segment_];
        const std::int64_t length = std::min(end, segment.discStart + segment.length) - from;
        if (!ReadStretch(segment, from, length, out + (from - start))) return false;
        from += length;
    }
    return true;
}

}  // namespace tessival
