#include "platform/media/filters/sinks/RiffInfo.h"

namespace tessival::media {
namespace {

struct InfoField {
    const char* id;
    const char* key;
};

constexpr InfoField kInfoFields[] = {
    {"INAM", "title"}, {"IART", "artist"}, {"IPRD", "album"}, {"ITRK", "track"},
    {"ICRD", "date"},  {"IGNR", "genre"},  {"ICMT", "comment"},
};

void PutTag(std::vector<std::uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

void PutLe32(std::vector<std::uint8_t>& out, std::size_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> RiffInfoChunk(const MediaTags& tags) {
    std::vector<std::uint8_t> body;
    for (const InfoField& field : kInfoFields) {
        const std::string value = tags.Get(field.key);
        if (value.empty()) continue;
        PutTag(body, field.id);
        PutLe32(body, value.size() + 1);  // with its NUL
        body.insert(body.end(), value.begin(), value.end());
        body.push_back(0);
        if ((value.size() + 1) & 1) body.push_back(0);
    }
    if (body.empty()) return body;
    std::vector<std::uint8_t> chunk;
    PutTag(chunk, "LIST");
    PutLe32(chunk, 4 + body.size());
    PutTag(chunk, "INFO");
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

}  // namespace tessival::media
