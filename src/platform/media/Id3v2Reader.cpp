#include "platform/media/Id3v2Reader.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/media/TagMapping.h"
#include "platform/media/TagText.h"

namespace tessival::media {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Span = std::span<const std::uint8_t>;

constexpr std::size_t kHeader = 10;
constexpr std::uint8_t kUnsynchronised = 0x80, kExtendedHeader = 0x40;

std::uint32_t Be32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

bool IsSyncsafe(const std::uint8_t* p) { return ((p[0] | p[1] | p[2] | p[3]) & 0x80) == 0; }

std::uint32_t Syncsafe(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 21 | std::uint32_t{p[1]} << 14 | std::uint32_t{p[2]} << 7 | p[3];
}

bool IsFrameId(const std::uint8_t* p) {
    return std::all_of(p, p + 4, [](std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

// Undoes unsynchronisation: every 0xFF 0x00 was a lone 0xFF.
Bytes Resynchronised(Span bytes) {
    Bytes out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0x00) ++i;
    }
    return out;
}

// A frame, padding or the tag's end at pos: where a frame's size may lead.
bool FrameBoundary(Span body, std::size_t pos) {
    if (pos == body.size()) return true;
    if (pos > body.size()) return false;
    return body[pos] == 0 || (pos + 4 <= body.size() && IsFrameId(&body[pos]));
}

// 2.4 sizes are syncsafe, but iTunes wrote plain ones: the reading that lands on a boundary wins.
std::size_t FrameSize(Span body, std::size_t at, int version) {
    const std::uint8_t* size = &body[at + 4];
    if (version == 3 || !IsSyncsafe(size)) return Be32(size);
    const std::size_t safe = Syncsafe(size), plain = Be32(size);
    if (safe != plain && !FrameBoundary(body, at + kHeader + safe) && FrameBoundary(body, at + kHeader + plain))
        return plain;
    return safe;
}

bool IsWide(std::uint8_t encoding) { return encoding == 1 || encoding == 2; }

std::optional<std::string> Decoded(std::uint8_t encoding, Span bytes) {
    switch (encoding) {
    case 0: return Latin1ToUtf8(bytes);
    case 1: return Utf16ToUtf8(bytes, false);  // a byte order mark is required; without one, as Windows wrote it
    case 2: return Utf16ToUtf8(bytes, true);
    case 3: return Utf8OrLatin1(bytes);
    default: return std::nullopt;
    }
}

// The bytes up to the encoding's terminator, and those after it.
std::pair<Span, Span> Terminated(std::uint8_t encoding, Span bytes) {
    const std::size_t step = IsWide(encoding) ? 2 : 1;
    for (std::size_t i = 0; i + step <= bytes.size(); i += step)
        if (bytes[i] == 0 && (step == 1 || bytes[i + 1] == 0)) return {bytes.first(i), bytes.subspan(i + step)};
    return {bytes, Span()};
}

// Each terminated string of a text frame, decoded; empty strings are dropped.
std::vector<std::string> Strings(std::uint8_t encoding, Span bytes) {
    std::vector<std::string> strings;
    while (!bytes.empty()) {
        const auto [string, rest] = Terminated(encoding, bytes);
        if (const auto text = Decoded(encoding, string); text && !text->empty()) strings.push_back(*text);
        bytes = rest;
    }
    return strings;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A genre given as an ID3v1 number: "17", "(17)", "(17)(6)", "(17)Rock"; the text after the
// numbers, when there is one, is the name the tagger showed.
std::vector<std::string> GenreNames(const std::string& value) {
    if (value == "RX") return {"Remix"};
    if (value == "CR") return {"Cover"};
    if (AllDigits(value) && value.size() <= 3 && !GenreName(std::stoi(value)).empty())
        return {GenreName(std::stoi(value))};
    std::vector<std::string> names;
    std::size_t at = 0;
    while (at < value.size() && value[at] == '(' && (at + 1 >= value.size() || value[at + 1] != '(')) {
        const std::size_t close = value.find(')', at);
        if (close == std::string::npos) break;
        const std::string inside = value.substr(at + 1, close - at - 1);
        if (inside == "RX" || inside == "CR")
            names.push_back(inside == "RX" ? "Remix" : "Cover");
        else if (AllDigits(inside) && inside.size() <= 3 && !GenreName(std::stoi(inside)).empty())
            names.push_back(GenreName(std::stoi(inside)));
        else
            break;
        at = close + 1;
    }
    std::string rest = value.substr(at);
    if (rest.rfind("((", 0) == 0) rest.erase(0, 1);  // "((" starts a name that begins with "("
    return rest.empty() ? names : std::vector<std::string>{rest};
}

// Turns frames into fields; the 2.3 date, spread over three frames, comes together at the end.
class FrameFields {
public:
    explicit FrameFields(MediaTags& tags) : tags_(tags) {}

    void Take(std::string_view id, Span body) {
        if (body.empty()) return;
        if (id == "UFID") return TakeUfid(body);
        const std::uint8_t encoding = body[0];
        if (encoding > 3) return;  // no encoding ID3 knows: the frame cannot be read
        if (id == "COMM" || id == "USLT") return TakeCommentLike(id, encoding, body.subspan(1));
        if (id.front() != 'T') return;  // pictures, URLs, counters and private data: not text
        if (id == "TXXX") {
            const auto [description, rest] = Terminated(encoding, body.subspan(1));
            if (const auto name = Decoded(encoding, description)) Add(TagKeyFor(*name), Strings(encoding, rest));
            return;
        }
        std::vector<std::string> values = Strings(encoding, body.subspan(1));
        if (values.empty()) return;
        if (id == "TYER" || id == "TDAT" || id == "TIME") {
            (id == "TYER" ? year_ : id == "TDAT" ? dayMonth_ : time_) = values.front();
            return;
        }
        if (id == "TRCK" || id == "TPOS") return TakeNumberOfTotal(id == "TRCK", values.front());
        if (id == "TCON") {
            std::vector<std::string> names;
            for (const std::string& value : values)
                for (std::string& name : GenreNames(value)) names.push_back(std::move(name));
            values = std::move(names);
        }
        if (id == "TDRC") hasDate_ = true;
        Add(TagKeyFor(id), values);
    }

    void Finish() {
        if (hasDate_ || year_.size() != 4 || !AllDigits(year_)) {
            if (!hasDate_ && !year_.empty()) Add("date", {year_});
            return;
        }
        std::string date = year_;
        if (dayMonth_.size() == 4 && AllDigits(dayMonth_)) {
            date += "-" + dayMonth_.substr(2, 2) + "-" + dayMonth_.substr(0, 2);
            if (time_.size() == 4 && AllDigits(time_)) date += "T" + time_.substr(0, 2) + ":" + time_.substr(2, 2);
        }
        Add("date", {date});
    }

private:
    void Add(const std::string& key, const std::vector<std::string>& values) {
        if (key.empty()) return;
        for (const std::string& value : values)
            if (!value.empty()) tags_.fields.emplace_back(key, value);
    }

    void TakeUfid(Span body) {
        const auto [owner, identifier] = Terminated(0, body);
        // Only an owner the table names (MusicBrainz): others' identifiers are binary keys into their databases.
        const std::string name = Latin1ToUtf8(owner);
        const TagField* field = FindTagField(name);
        if (!field || !field->id3 || "UFID:" + name != field->id3 || identifier.empty() || identifier.size() > 64)
            return;
        const bool printable =
            std::all_of(identifier.begin(), identifier.end(), [](std::uint8_t c) { return c >= 0x20 && c < 0x7F; });
        if (printable) Add(field->key, {std::string(identifier.begin(), identifier.end())});
    }

    // Encoding, language, a description, then one text.
    void TakeCommentLike(std::string_view id, std::uint8_t encoding, Span rest) {
        if (rest.size() < 3) return;
        const auto [description, text] = Terminated(encoding, rest.subspan(3));
        const std::optional<std::string> name = Decoded(encoding, description);
        const std::vector<std::string> values = Strings(encoding, text);
        if (!name || values.empty()) return;
        std::string key = "LYRICS";
        if (id == "COMM") key = IsRepeatedFrameDescription(*name) ? "comment" : TagKeyFor(*name);
        Add(key, {values.front()});
    }

    void TakeNumberOfTotal(bool track, const std::string& value) {
        const NumberOfTotal parts = SplitNumberOfTotal(value);
        Add(track ? "track" : "disc", {parts.number});
        Add(track ? "TRACKTOTAL" : "DISCTOTAL", {parts.total});
    }

    MediaTags& tags_;
    bool hasDate_ = false;
    std::string year_, dayMonth_, time_;
};

// The frame's data without the 2.4 extras before it; none when it is compressed or encrypted.
std::optional<Bytes> FrameData(Span frame, std::uint8_t formatFlags, int version, bool tagUnsynchronised) {
    if (version == 3) {
        if (formatFlags & 0xC0) return std::nullopt;
        if ((formatFlags & 0x20) && !frame.empty()) frame = frame.subspan(1);  // group id
        return Bytes(frame.begin(), frame.end());
    }
    if (formatFlags & 0x0C) return std::nullopt;
    const std::size_t extras = ((formatFlags & 0x40) ? 1 : 0) + ((formatFlags & 0x01) ? 4 : 0);
    if (extras > frame.size()) return std::nullopt;
    frame = frame.subspan(extras);
    if ((formatFlags & 0x02) || tagUnsynchronised) return Resynchronised(frame);
    return Bytes(frame.begin(), frame.end());
}

}  // namespace

bool ParseId3v2Tag(Span tag, MediaTags& tags) {
    if (tag.size() < kHeader || tag[0] != 'I' || tag[1] != 'D' || tag[2] != '3' || (tag[3] != 3 && tag[3] != 4) ||
        !IsSyncsafe(&tag[6]))
        return false;
    const int version = tag[3];
    const std::uint8_t flags = tag[5];
    Span body = tag.subspan(kHeader, std::min<std::size_t>(Syncsafe(&tag[6]), tag.size() - kHeader));
    // 2.3 unsynchronises the tag as a whole, and its frame sizes count the restored bytes.
    Bytes restored;
    if (version == 3 && (flags & kUnsynchronised)) {
        restored = Resynchronised(body);
        body = restored;
    }
    std::size_t at = 0;
    if ((flags & kExtendedHeader) && body.size() >= 4) {
        at = version == 3 ? std::size_t{Be32(&body[0])} + 4 : std::size_t{Syncsafe(&body[0])};
        if (at > body.size()) return true;
    }
    FrameFields fields(tags);
    while (at + kHeader <= body.size() && IsFrameId(&body[at])) {
        const std::size_t size = FrameSize(body, at, version);
        if (size > body.size() - at - kHeader) break;  // past the tag's end: the rest cannot be trusted
        const std::string_view id(reinterpret_cast<const char*>(&body[at]), 4);
        const std::uint8_t formatFlags = body[at + 9];
        const Span frame = body.subspan(at + kHeader, size);
        at += kHeader + size;
        if (const auto data = FrameData(frame, formatFlags, version, flags & kUnsynchronised)) fields.Take(id, *data);
    }
    fields.Finish();
    return true;
}

std::size_t Id3v2TagLength(Span start) {
    if (start.size() < kHeader || start[0] != 'I' || start[1] != 'D' || start[2] != '3' || !IsSyncsafe(&start[6]))
        return 0;
    const bool footer = start[3] == 4 && (start[5] & 0x10);
    return kHeader + Syncsafe(&start[6]) + (footer ? kHeader : 0);
}

std::optional<std::vector<std::uint8_t>> ReadId3v2Tag(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    Bytes tag(kHeader);
    if (!file || std::fread(tag.data(), 1, kHeader, file.get()) != kHeader) return std::nullopt;
    const std::size_t length = Id3v2TagLength(tag);
    if (length == 0 || (tag[3] != 3 && tag[3] != 4)) return std::nullopt;
    // A damaged size may claim far more than the file holds: allocate no more than is there.
    std::error_code error;
    const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
    if (error) return std::nullopt;
    tag.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(length, fileSize)));
    tag.resize(kHeader + std::fread(tag.data() + kHeader, 1, tag.size() - kHeader, file.get()));
    return tag;
}

}  // namespace tessival::media
