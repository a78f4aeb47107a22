#include "platform/media/ffmpeg/WaveMetadata.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

extern "C" {
#include <libavutil/avstring.h>
#include <libavutil/dict.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/macros.h>
}

#include "platform/io/UniqueFd.h"

namespace tessival::media {
namespace {

// A fixed-size text field: up to its first NUL.
std::string Text(const std::uint8_t* p, std::size_t length) {
    const auto* text = reinterpret_cast<const char*>(p);
    return std::string(text, strnlen(text, length));
}

struct Rename {
    const char* from;
    const char* to;
};

// The names the demuxer gives the fields once all chunks are read: the broadcast extension's
// first, then the INFO list's.
constexpr Rename kBextRenames[] = {{"description", "comment"},
                                   {"originator", "encoded_by"},
                                   {"origination_date", "date"},
                                   {"origination_time", "creation_time"}};
constexpr Rename kInfoRenames[] = {{"IART", "artist"}, {"ICMT", "comment"},  {"ICOP", "copyright"},
                                   {"ICRD", "date"},   {"IGNR", "genre"},    {"ILNG", "language"},
                                   {"INAM", "title"},  {"IPRD", "album"},    {"IPRT", "track"},
                                   {"ITRK", "track"},  {"ISFT", "encoder"},  {"ISMP", "timecode"},
                                   {"ITCH", "encoded_by"}};

// A renamed copy, entry by entry, so that a new name meeting an old one replaces it as it does
// in the demuxer.
template <std::size_t N>
AvDictionaryPtr Renamed(const AVDictionary* fields, const Rename (&renames)[N]) {
    AVDictionary* renamed = nullptr;
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(fields, "", entry, AV_DICT_IGNORE_SUFFIX))) {
        const char* key = entry->key;
        for (const Rename& rename : renames)
            if (av_strcasecmp(key, rename.from) == 0) {
                key = rename.to;
                break;
            }
        av_dict_set(&renamed, key, entry->value, 0);
    }
    return AvDictionaryPtr(renamed);
}

// One pass over a RIFF WAVE file's chunks, as the demuxer makes it.
class WaveChunkWalk {
public:
    // Not blocking: a FIFO would wait for a writer before it could be found not to be a file.
    explicit WaveChunkWalk(const std::string& path) : file_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
        struct stat info {};
        if (file_.Valid() && ::fstat(file_.Get(), &info) == 0 && S_ISREG(info.st_mode)) size_ = info.st_size;
    }

    std::optional<AvDictionaryPtr> Run() {
        std::uint8_t head[12];
        if (!Read(0, head, sizeof head) || AV_RL32(head) != MKTAG('R', 'I', 'F', 'F') ||
            AV_RL32(head + 8) != MKTAG('W', 'A', 'V', 'E'))
            return std::nullopt;
        for (std::int64_t at = 12;;) {
            std::uint8_t header[8];
            if (!Read(at, header, sizeof header)) break;
            const std::int64_t size = static_cast<std::int64_t>(AV_RL32(header + 4));
            const std::int64_t next = at + 8 + size;
            bool last = false;
            if (!TakeChunk(AV_RL32(header), at + 8, size, last)) return std::nullopt;
            if (last || next >= size_) break;
            at = next + (next & 1);
        }
        if (!sawFormat_ || !sawData_) return std::nullopt;
        return Renamed(Renamed(fields_.get(), kBextRenames).get(), kInfoRenames);
    }

private:
    static constexpr std::int64_t kBextFixedSize = 602;
    static constexpr std::int64_t kLargestBext = 1 << 20;

    bool Read(std::int64_t offset, void* into, std::size_t bytes) const {
        if (offset < 0 || offset + static_cast<std::int64_t>(bytes) > size_) return false;
        return ::pread(file_.Get(), into, bytes, offset) == static_cast<ssize_t>(bytes);
    }

    // False for what is left to libavformat; `last` when the demuxer reads no further.
    bool TakeChunk(std::uint32_t tag, std::int64_t body, std::int64_t size, bool& last) {
        const bool whole = body + size <= size_;
        switch (tag) {
        case MKTAG('f', 'm', 't', ' '): sawFormat_ = true; return true;
        case MKTAG('d', 'a', 't', 'a'):
            sawData_ = true;
            last = size == 0 || size == 0xFFFFFFFF;  // no end known: nothing after it is looked for
            return true;
        case MKTAG('L', 'I', 'S', 'T'): return size >= 4 && whole && TakeList(body, size);
        case MKTAG('b', 'e', 'x', 't'):
            return size >= kBextFixedSize && size <= kLargestBext && whole && TakeBext(body, size);
        case MKTAG('I', 'D', '3', ' '):
        case MKTAG('i', 'd', '3', ' '):
        case MKTAG('S', 'M', 'V', '0'):
        case MKTAG('X', 'M', 'A', '2'): return false;
        default: return true;
        }
    }

    bool TakeList(std::int64_t body, std::int64_t size) {
        std::uint8_t type[4];
        if (!Read(body, type, sizeof type)) return false;
        return AV_RL32(type) != MKTAG('I', 'N', 'F', 'O') || TakeInfo(body + 4, body + size);
    }

    // Only entries that exactly fill the list: the demuxer's handling of any other is its own.
    bool TakeInfo(std::int64_t at, std::int64_t end) {
        while (at <= end - 8) {
            std::uint8_t header[8];
            if (!Read(at, header, sizeof header)) return false;
            if (std::memchr(header, 0, 4)) return false;
            const std::int64_t size = static_cast<std::int64_t>(AV_RL32(header + 4));
            const std::int64_t padded = size + (size & 1);
            if (at + 8 + padded > end) return false;
            std::vector<std::uint8_t> value(static_cast<std::size_t>(padded));
            if (!Read(at + 8, value.data(), value.size())) return false;
            Set(std::string(reinterpret_cast<const char*>(header), 4), Text(value.data(), value.size()));
            at += 8 + padded;
        }
        return true;
    }

    bool TakeBext(std::int64_t body, std::int64_t size) {
        std::vector<std::uint8_t> bext(static_cast<std::size_t>(size));
        if (!Read(body, bext.data(), bext.size())) return false;
        const std::uint8_t* p = bext.data();
        SetUnlessEmpty("description", Text(p, 256));
        SetUnlessEmpty("originator", Text(p + 256, 32));
        SetUnlessEmpty("originator_reference", Text(p + 288, 32));
        SetUnlessEmpty("origination_date", Text(p + 320, 10));
        SetUnlessEmpty("origination_time", Text(p + 330, 8));
        Set("time_reference", std::to_string(AV_RL64(p + 338)));
        if (AV_RL16(p + 346) >= 1) TakeUmid(p + 348);
        if (size > kBextFixedSize) Set("coding_history", Text(p + kBextFixedSize, bext.size() - kBextFixedSize));
        return true;
    }

    // SMPTE 330M's text form: a basic UMID when its second half is zero.
    void TakeUmid(const std::uint8_t* p) {
        std::uint64_t parts[8];
        std::uint64_t any = 0;
        for (int i = 0; i < 8; ++i) any |= parts[i] = AV_RB64(p + 8 * i);
        if (!any) return;
        const int count = (parts[4] | parts[5] | parts[6] | parts[7]) ? 8 : 4;
        std::string umid = "0x";
        for (int i = 0; i < count; ++i) {
            char hex[17];
            std::snprintf(hex, sizeof hex, "%016" PRIX64, parts[i]);
            umid += hex;
        }
        Set("umid", umid);
    }

    void Set(const std::string& key, const std::string& value) {
        AVDictionary* fields = fields_.release();
        av_dict_set(&fields, key.c_str(), value.c_str(), 0);
        fields_.reset(fields);
    }

    void SetUnlessEmpty(const char* key, const std::string& value) {
        if (!value.empty()) Set(key, value);
    }

    const UniqueFd file_;
    std::int64_t size_ = -1;
    AvDictionaryPtr fields_;
    bool sawFormat_ = false;
    bool sawData_ = false;
};

}  // namespace

std::optional<AvDictionaryPtr> ReadWaveMetadata(const std::string& path) { return WaveChunkWalk(path).Run(); }

}  // namespace tessival::media
