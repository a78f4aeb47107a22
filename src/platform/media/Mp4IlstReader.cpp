#include "platform/media/Mp4IlstReader.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "platform/media/TagMapping.h"
#include "platform/media/TagText.h"

namespace tessival::media {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Span = std::span<const std::uint8_t>;

constexpr std::size_t kBoxHeader = 8;
constexpr std::uint32_t kImplicit = 0, kUtf8 = 1, kUtf16 = 2;
constexpr std::uint64_t kMostListBytes = 64u << 20;  // a list with pictures in it, not a hostile size

std::uint64_t Be(const std::uint8_t* p, std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) value = value << 8 | p[i];
    return value;
}

struct Box {
    std::string_view type;
    Span body;
};

// The boxes inside bytes, in order, up to the first whose size does not fit.
std::vector<Box> Boxes(Span bytes) {
    std::vector<Box> boxes;
    for (std::size_t at = 0; at + kBoxHeader <= bytes.size();) {
        const std::uint64_t size = Be(&bytes[at], 4);
        if (size < kBoxHeader || size > bytes.size() - at) break;
        boxes.push_back({std::string_view(reinterpret_cast<const char*>(&bytes[at + 4]), 4),
                         bytes.subspan(at + kBoxHeader, size - kBoxHeader)});
        at += size;
    }
    return boxes;
}

struct Data {
    std::uint32_t type;
    Span payload;
};

// Each data atom of an item: type (its version byte first), locale, then the value.
std::vector<Data> DataAtoms(Span item) {
    std::vector<Data> atoms;
    for (const Box& box : Boxes(item))
        if (box.type == "data" && box.body.size() >= 8)
            atoms.push_back({static_cast<std::uint32_t>(Be(&box.body[0], 4) & 0xFFFFFF), box.body.subspan(8)});
    return atoms;
}

// The text values of an item. Some taggers give freeform texts no type (implicit): those count
// when they are UTF-8.
std::vector<std::string> Texts(Span item, bool implicitText) {
    std::vector<std::string> texts;
    for (const Data& data : DataAtoms(item)) {
        const std::string_view bytes(reinterpret_cast<const char*>(data.payload.data()), data.payload.size());
        if (data.type == kUtf16)
            texts.push_back(Utf16ToUtf8(data.payload, true));
        else if (data.type == kUtf8)
            texts.push_back(Utf8OrLatin1(data.payload));
        else if (data.type == kImplicit && implicitText && IsValidUtf8(bytes))
            texts.emplace_back(bytes);
    }
    return texts;
}

// A number item's value: an integer of one to eight bytes, or a text some taggers write instead.
std::optional<std::uint64_t> Integer(Span item) {
    const std::vector<Data> atoms = DataAtoms(item);
    if (atoms.empty() || atoms.front().payload.empty() || atoms.front().payload.size() > 8) return std::nullopt;
    const Data& data = atoms.front();
    if (data.type != kUtf8) return Be(data.payload.data(), data.payload.size());
    std::uint64_t value = 0;
    for (const std::uint8_t digit : data.payload) {
        if (digit < '0' || digit > '9') return std::nullopt;
        value = value * 10 + (digit - '0');
    }
    return value;
}

class ItemFields {
public:
    explicit ItemFields(MediaTags& tags) : tags_(tags) {}

    void Take(const Box& item) {
        if (item.type == "----") return TakeFreeform(item.body);
        if (item.type == "gnre") {
            if (const auto number = Integer(item.body); number && *number > 0 && *number <= 255)
                Add("genre", GenreName(static_cast<int>(*number) - 1));
            return;
        }
        const TagField* field = FindMp4ItemField(item.type);
        if (!field) return;  // the cover, and what describes the file (encoder, gapless flag, media kind)
        if (item.type == "trkn" || item.type == "disk") return TakeNumberOfTotal(item.type == "trkn", item.body);
        if (item.type == "tmpo" || item.type == "cpil") {
            if (const auto number = Integer(item.body))
                Add(field->key, std::to_string(item.type == "cpil" ? *number != 0 : *number));
            return;
        }
        for (const std::string& text : Texts(item.body, false)) Add(field->key, text);
    }

private:
    void Add(const std::string& key, const std::string& value) {
        if (!key.empty() && !value.empty()) tags_.fields.emplace_back(key, value);
    }

    // mean (the domain), name, then one data atom per value.
    void TakeFreeform(Span body) {
        std::string name;
        for (const Box& box : Boxes(body))
            if (box.type == "name" && box.body.size() >= 4) name = Utf8OrLatin1(box.body.subspan(4));
        const std::string key = TagKeyFor(name);
        for (const std::string& text : Texts(body, true)) Add(key, text);
    }

    // Two reserved bytes, the number, the total (and, for trkn, two more reserved bytes).
    void TakeNumberOfTotal(bool track, Span body) {
        const std::vector<Data> atoms = DataAtoms(body);
        if (atoms.empty() || atoms.front().payload.size() < 6) return;
        const Span pair = atoms.front().payload;
        if (const auto number = Be(&pair[2], 2)) Add(track ? "track" : "disc", std::to_string(number));
        if (const auto total = Be(&pair[4], 2)) Add(track ? "TRACKTOTAL" : "DISCTOTAL", std::to_string(total));
    }

    MediaTags& tags_;
};

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

struct FileBox {
    std::uint64_t body = 0;  // where its contents start
    std::uint64_t end = 0;
};

// The box of that type among those between begin and end, read header by header (media data
// can be gigabytes, and is skipped, not read).
std::optional<FileBox> FindBox(std::FILE* file, std::uint64_t begin, std::uint64_t end, const char* type) {
    for (std::uint64_t at = begin; at + kBoxHeader <= end;) {
        std::uint8_t header[16];
        if (::fseeko(file, static_cast<off_t>(at), SEEK_SET) != 0 ||
            std::fread(header, 1, kBoxHeader, file) != kBoxHeader)
            return std::nullopt;
        std::uint64_t size = Be(header, 4), headerSize = kBoxHeader;
        if (size == 1) {  // a 64-bit size follows the type
            if (std::fread(header + kBoxHeader, 1, 8, file) != 8) return std::nullopt;
            size = Be(header + kBoxHeader, 8);
            headerSize += 8;
        } else if (size == 0) {  // the box runs to the end
            size = end - at;
        }
        if (size < headerSize || size > end - at) return std::nullopt;
        if (std::memcmp(header + 4, type, 4) == 0) return FileBox{at + headerSize, at + size};
        at += size;
    }
    return std::nullopt;
}

// ilst inside a meta box, which MP4 makes a full box (four bytes of version and flags) and
// QuickTime a plain one.
std::optional<FileBox> FindList(std::FILE* file, const FileBox& meta) {
    if (auto list = FindBox(file, meta.body + 4, meta.end, "ilst")) return list;
    return FindBox(file, meta.body, meta.end, "ilst");
}

}  // namespace

void ParseMp4Ilst(Span items, MediaTags& tags) {
    ItemFields fields(tags);
    for (const Box& item : Boxes(items)) fields.Take(item);
}

std::optional<std::vector<std::uint8_t>> ReadMp4Ilst(const std::string& path) {
    const File file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file || ::fseeko(file.get(), 0, SEEK_END) != 0) return std::nullopt;
    const off_t length = ::ftello(file.get());
    if (length <= 0) return std::nullopt;
    const auto moov = FindBox(file.get(), 0, static_cast<std::uint64_t>(length), "moov");
    if (!moov) return std::nullopt;
    std::optional<FileBox> list;
    if (const auto udta = FindBox(file.get(), moov->body, moov->end, "udta"))
        if (const auto meta = FindBox(file.get(), udta->body, udta->end, "meta")) list = FindList(file.get(), *meta);
    if (!list)
        if (const auto meta = FindBox(file.get(), moov->body, moov->end, "meta")) list = FindList(file.get(), *meta);
    if (!list || list->end - list->body > kMostListBytes) return std::nullopt;
    Bytes items(list->end - list->body);
    if (::fseeko(file.get(), static_cast<off_t>(list->body), SEEK_SET) != 0 ||
        std::fread(items.data(), 1, items.size(), file.get()) != items.size())
        return std::nullopt;
    return items;
}

}  // namespace tessival::media
