#include "platform/media/filters/sinks/Mp4Ilst.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/media/TagMapping.h"

namespace tessival::media {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kUtf8Data = 1, kIntegerData = 21, kImplicitData = 0;

void PutBe(Bytes& out, std::uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes Box(std::string_view type, const Bytes& body) {
    Bytes box;
    PutBe(box, body.size() + 8, 4);
    box.insert(box.end(), type.begin(), type.end());
    box.insert(box.end(), body.begin(), body.end());
    return box;
}

Bytes DataAtom(std::uint32_t type, const Bytes& payload) {
    Bytes body;
    PutBe(body, type, 4);
    PutBe(body, 0, 4);  // locale
    body.insert(body.end(), payload.begin(), payload.end());
    return Box("data", body);
}

Bytes Text(std::string_view text) { return Bytes(text.begin(), text.end()); }

// The number an integer atom (tempo, flag: 16 bits at most) holds for the text; none for text that
// is no such number, which then keeps its words in a freeform atom.
std::optional<long> Integer(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !(value >= 0 && value <= 0xFFFF)) return std::nullopt;
    return static_cast<long>(value + 0.5);
}

// The atoms each field goes to and the values they hold, in the order the fields came.
using Items = std::vector<std::pair<std::string, std::vector<std::string>>>;

void AddValue(Items& items, const std::string& atom, const std::string& value) {
    auto item = std::find_if(items.begin(), items.end(), [&](const auto& entry) { return entry.first == atom; });
    if (item == items.end()) item = items.insert(items.end(), {atom, {}});
    item->second.push_back(value);
}

Bytes NumberPair(const MediaTags& tags, const char* numberKey, const char* totalKey, bool track) {
    NumberOfTotal parts = SplitNumberOfTotal(tags.Get(numberKey));
    if (parts.total.empty()) parts.total = tags.Get(totalKey);
    Bytes payload;
    PutBe(payload, 0, 2);
    PutBe(payload, static_cast<std::uint16_t>(std::atoi(parts.number.c_str())), 2);
    PutBe(payload, static_cast<std::uint16_t>(std::atoi(parts.total.c_str())), 2);
    if (track) PutBe(payload, 0, 2);
    return DataAtom(kImplicitData, payload);
}

Bytes Freeform(const std::string& name, const std::vector<std::string>& values) {
    Bytes body;
    Bytes mean{0, 0, 0, 0};
    const Bytes domain = Text("com.apple.iTunes");
    mean.insert(mean.end(), domain.begin(), domain.end());
    const Bytes meanBox = Box("mean", mean);
    body.insert(body.end(), meanBox.begin(), meanBox.end());
    Bytes nameBody{0, 0, 0, 0};
    nameBody.insert(nameBody.end(), name.begin(), name.end());
    const Bytes nameBox = Box("name", nameBody);
    body.insert(body.end(), nameBox.begin(), nameBox.end());
    for (const std::string& value : values) {
        const Bytes data = DataAtom(kUtf8Data, Text(value));
        body.insert(body.end(), data.begin(), data.end());
    }
    return Box("----", body);
}

Bytes Item(const MediaTags& tags, const std::string& atom, const std::vector<std::string>& values) {
    if (atom.rfind("----:", 0) == 0) return Freeform(atom.substr(5), values);
    Bytes body;
    if (atom == "trkn" || atom == "disk") {
        body = NumberPair(tags, atom == "trkn" ? "track" : "disc", atom == "trkn" ? "TRACKTOTAL" : "DISCTOTAL",
                          atom == "trkn");
    } else if (atom == "tmpo" || atom == "cpil") {
        const long value = Integer(values.front()).value_or(0);
        Bytes payload;
        PutBe(payload, atom == "cpil" ? (value != 0) : value, atom == "cpil" ? 1 : 2);
        body = DataAtom(kIntegerData, payload);
    } else {
        for (const std::string& value : values) {
            const Bytes data = DataAtom(kUtf8Data, Text(value));
            body.insert(body.end(), data.begin(), data.end());
        }
    }
    return Box(atom, body);
}

Items ItemsFor(const MediaTags& tags) {
    Items items;
    for (const auto& [key, value] : tags.fields) {
        if (value.empty()) continue;
        const TagField* field = FindTagField(key);
        if (!field) {
            AddValue(items, "----:" + key, value);
            continue;
        }
        const std::string_view name = field->key;
        if (name == "TRACKTOTAL" || name == "DISCTOTAL") {
            // A total without its number still travels, as a freeform text.
            if (tags.Get(name == "TRACKTOTAL" ? "track" : "disc").empty()) AddValue(items, "----:" + key, value);
            continue;
        }
        // A tempo or flag that is no number an integer atom holds keeps its text in a freeform atom.
        if ((name == "BPM" || name == "COMPILATION") && !Integer(value)) {
            AddValue(items, std::string("----:") + field->vorbis, value);
            continue;
        }
        AddValue(items, field->mp4, value);
    }
    return items;
}

std::uint32_t Be32(const Bytes& bytes, std::size_t at) {
    return (std::uint32_t(bytes[at]) << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8) | bytes[at + 3];
}

void SetBe32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

// The child box of type inside [begin, end); npos when absent or a size is wrong.
std::size_t FindChild(const Bytes& bytes, std::size_t begin, std::size_t end, std::string_view type) {
    for (std::size_t at = begin; at + 8 <= end;) {
        const std::uint32_t size = Be32(bytes, at);
        if (size < 8 || size > end - at) return std::string::npos;
        if (std::string_view(reinterpret_cast<const char*>(&bytes[at + 4]), 4) == type) return at;
        at += size;
    }
    return std::string::npos;
}

Bytes MetaHandler() {
    Bytes body(8, 0);  // version, flags, pre-defined
    const Bytes kind = Text("mdirappl");
    body.insert(body.end(), kind.begin(), kind.end());
    body.resize(body.size() + 9, 0);  // reserved, empty name
    return Box("hdlr", body);
}

}  // namespace

std::vector<std::uint8_t> Mp4IlstItems(const MediaTags& tags) {
    Bytes all;
    for (const auto& [atom, values] : ItemsFor(tags)) {
        const Bytes item = Item(tags, atom, values);
        all.insert(all.end(), item.begin(), item.end());
    }
    return all;
}

bool AddToMoovIlst(std::vector<std::uint8_t>& moov, const std::vector<std::uint8_t>& items) {
    if (moov.size() < 8 || Be32(moov, 0) != moov.size() || std::string_view(reinterpret_cast<char*>(&moov[4]), 4) != "moov")
        return false;
    if (items.empty()) return true;
    // The boxes that enclose the insertion point, outermost first; each grows by what goes in.
    std::vector<std::size_t> enclosing{0};
    Bytes insert = items;
    std::size_t at = moov.size();
    const std::size_t udta = FindChild(moov, 8, moov.size(), "udta");
    if (udta == std::string::npos) {
        Bytes meta{0, 0, 0, 0};
        const Bytes handler = MetaHandler(), ilst = Box("ilst", items);
        meta.insert(meta.end(), handler.begin(), handler.end());
        meta.insert(meta.end(), ilst.begin(), ilst.end());
        insert = Box("udta", Box("meta", meta));
    } else {
        enclosing.push_back(udta);
        const std::size_t udtaEnd = udta + Be32(moov, udta);
        const std::size_t meta = FindChild(moov, udta + 8, udtaEnd, "meta");
        if (meta == std::string::npos) {
            Bytes body{0, 0, 0, 0};
            const Bytes handler = MetaHandler(), ilst = Box("ilst", items);
            body.insert(body.end(), handler.begin(), handler.end());
            body.insert(body.end(), ilst.begin(), ilst.end());
            insert = Box("meta", body);
            at = udtaEnd;
        } else {
            enclosing.push_back(meta);
            const std::size_t metaEnd = meta + Be32(moov, meta);
            const std::size_t ilst = FindChild(moov, meta + 12, metaEnd, "ilst");
            if (ilst == std::string::npos) {
                insert = Box("ilst", items);
                at = metaEnd;
            } else {
                enclosing.push_back(ilst);
                at = ilst + Be32(moov, ilst);
            }
        }
    }
    for (const std::size_t box : enclosing) SetBe32(moov, box, Be32(moov, box) + static_cast<std::uint32_t>(insert.size()));
    moov.insert(moov.begin() + static_cast<std::ptrdiff_t>(at), insert.begin(), insert.end());
    return true;
}

}  // namespace tessival::media
