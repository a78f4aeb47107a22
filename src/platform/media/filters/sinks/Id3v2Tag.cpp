#include "platform/media/filters/sinks/Id3v2Tag.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "platform/media/TagMapping.h"

namespace tessival::media {
namespace {

constexpr std::size_t kPadding = 256;  // room for a tagger to edit in place
constexpr std::uint8_t kLatin1 = 0, kUtf16 = 1, kUtf8 = 3;

using Bytes = std::vector<std::uint8_t>;

// The frame each field goes to and the values it holds, in the order the fields came.
using Frames = std::vector<std::pair<std::string, std::vector<std::string>>>;

void AddValue(Frames& frames, const std::string& spec, const std::string& value) {
    auto frame = std::find_if(frames.begin(), frames.end(), [&](const auto& entry) { return entry.first == spec; });
    if (frame == frames.end()) frame = frames.insert(frames.end(), {spec, {}});
    frame->second.push_back(value);
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool LeadingYear(std::string_view date) {
    return date.size() >= 4 && std::all_of(date.begin(), date.begin() + 4, [](char c) { return c >= '0' && c <= '9'; });
}

// "n/total" from the number field and, when the number has none, the total field.
std::string NumberOfTotalText(const MediaTags& tags, const char* numberKey, const char* totalKey) {
    NumberOfTotal parts = SplitNumberOfTotal(tags.Get(numberKey));
    if (parts.total.empty()) parts.total = tags.Get(totalKey);
    if (parts.number.empty()) return std::string();
    return parts.total.empty() ? parts.number : parts.number + "/" + parts.total;
}

Frames FramesFor(const MediaTags& tags, int version) {
    Frames frames;
    for (const auto& [key, value] : tags.fields) {
        if (value.empty()) continue;
        const TagField* field = FindTagField(key);
        if (!field) {
            AddValue(frames, "TXXX:" + key, value);
            continue;
        }
        const std::string_view name = field->key;
        if (name == "TRACKTOTAL" || name == "DISCTOTAL") continue;
        if (name == "track" || name == "disc") {
            const bool track = name == "track";
            const std::string text = NumberOfTotalText(tags, track ? "track" : "disc", track ? "TRACKTOTAL" : "DISCTOTAL");
            if (!text.empty()) AddValue(frames, field->id3, text);
            continue;
        }
        const char* spec = version == 3 && field->id3v23 ? field->id3v23 : field->id3;
        // ID3v2.3 keeps a year in TYER and day and month in TDAT; anything else stays a text.
        if (version == 3 && (name == "date" || name == "ORIGINALDATE")) {
            if (!LeadingYear(value)) {
                AddValue(frames, std::string("TXXX:") + field->vorbis, value);
                continue;
            }
            AddValue(frames, spec, value.substr(0, 4));
            if (name == "date" && value.size() >= 10 && value[4] == '-' && value[7] == '-')
                AddValue(frames, "TDAT", value.substr(8, 2) + value.substr(5, 2));
            continue;
        }
        AddValue(frames, spec, value);
    }
    return frames;
}

void PutBe32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutSyncsafe(Bytes& out, std::uint32_t value) {
    for (int shift = 21; shift >= 0; shift -= 7) out.push_back(static_cast<std::uint8_t>((value >> shift) & 0x7F));
}

void PutUtf16(Bytes& out, std::string_view text) {
    out.push_back(0xFF);  // little-endian byte order mark
    out.push_back(0xFE);
    const auto put = [&out](std::uint32_t unit) {
        out.push_back(static_cast<std::uint8_t>(unit));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
        std::uint32_t point = extra ? lead & (0x3F >> extra) : lead;
        for (int k = 1; k <= extra && i + k < text.size(); ++k) point = (point << 6) | (text[i + k] & 0x3F);
        i += 1 + extra;
        if (point >= 0x10000) {
            point -= 0x10000;
            put(0xD800 | (point >> 10));
            put(0xDC00 | (point & 0x3FF));
        } else {
            put(point);
        }
    }
}

// A string in the frame's encoding, with its terminator when more follows.
void PutText(Bytes& out, std::string_view text, std::uint8_t encoding, bool terminated) {
    if (encoding == kUtf16) {
        PutUtf16(out, text);
        if (terminated) out.insert(out.end(), {0, 0});
        return;
    }
    out.insert(out.end(), text.begin(), text.end());
    if (terminated) out.push_back(0);
}

std::string Joined(const std::vector<std::string>& values, std::string_view separator) {
    std::string text;
    for (const std::string& value : values) text += (text.empty() ? "" : std::string(separator)) + value;
    return text;
}

class TagBuilder {
public:
    explicit TagBuilder(int version) : version_(version) {}

    void AddFrame(const std::string& spec, const std::vector<std::string>& values) {
        const std::string id = spec.substr(0, 4);
        const std::string description = spec.size() > 5 ? spec.substr(5) : std::string();
        Bytes body;
        if (id == "UFID") {
            body.insert(body.end(), description.begin(), description.end());
            body.push_back(0);
            body.insert(body.end(), values.front().begin(), values.front().begin() + std::min<std::size_t>(values.front().size(), 64));
        } else if (id == "COMM" || id == "USLT") {
            // One frame a value, each with a description of its own, as ID3 wants them distinct.
            for (std::size_t i = 0; i < values.size(); ++i) AddCommentLike(id, RepeatedFrameDescription(i), values[i]);
            return;
        } else {
            const std::uint8_t encoding = EncodingFor(Joined(values, "") + description);
            body.push_back(encoding);
            if (id == "TXXX") PutText(body, description, encoding, true);
            if (version_ == 4) {
                for (std::size_t i = 0; i < values.size(); ++i) PutText(body, values[i], encoding, i + 1 < values.size());
            } else {
                PutText(body, Joined(values, "/"), encoding, false);
            }
        }
        Put(id, body);
    }

    void AddCommentLike(const std::string& id, const std::string& description, const std::string& text) {
        const std::uint8_t encoding = EncodingFor(text);
        Bytes body{encoding, 'e', 'n', 'g'};
        PutText(body, description, encoding, true);
        PutText(body, text, encoding, false);
        Put(id, body);
    }

    void AddPicture(const std::vector<std::uint8_t>& data, const std::string& mime, int type,
                    const std::string& description) {
        const std::uint8_t encoding = EncodingFor(description);
        Bytes body{encoding};
        body.insert(body.end(), mime.begin(), mime.end());
        body.push_back(0);
        body.push_back(static_cast<std::uint8_t>(type));
        PutText(body, description, encoding, true);
        body.insert(body.end(), data.begin(), data.end());
        Put("APIC", body);
    }

    Bytes Finish() {
        if (frames_.empty()) return frames_;
        Bytes tag{'I', 'D', '3', static_cast<std::uint8_t>(version_), 0, 0};
        PutSyncsafe(tag, static_cast<std::uint32_t>(frames_.size() + kPadding));
        tag.insert(tag.end(), frames_.begin(), frames_.end());
        tag.resize(tag.size() + kPadding, 0);
        return tag;
    }

private:
    std::uint8_t EncodingFor(std::string_view text) const {
        if (version_ == 4) return kUtf8;
        return IsAscii(text) ? kLatin1 : kUtf16;
    }

    void Put(const std::string& id, const Bytes& body) {
        frames_.insert(frames_.end(), id.begin(), id.end());
        if (version_ == 4)
            PutSyncsafe(frames_, static_cast<std::uint32_t>(body.size()));
        else
            PutBe32(frames_, static_cast<std::uint32_t>(body.size()));
        frames_.insert(frames_.end(), {0, 0});  // no frame flags
        frames_.insert(frames_.end(), body.begin(), body.end());
    }

    int version_;
    Bytes frames_;
};

}  // namespace

std::vector<std::uint8_t> Id3v2Tag(const MediaTags& tags, int version) {
    TagBuilder builder(version == 3 ? 3 : 4);
    for (const auto& [spec, values] : FramesFor(tags, version == 3 ? 3 : 4)) builder.AddFrame(spec, values);
    if (!tags.cover.empty()) builder.AddPicture(tags.cover, tags.coverMime, 3, "");
    for (const MediaPicture& picture : tags.otherPictures)
        builder.AddPicture(picture.data, picture.mime, picture.type, picture.description);
    return builder.Finish();
}

}  // namespace tessival::media
