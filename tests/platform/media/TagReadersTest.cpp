#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/media/Id3v2Reader.h"
#include "platform/media/Mp4IlstReader.h"
#include "platform/media/filters/sinks/Id3v2Tag.h"
#include "platform/media/filters/sinks/Mp4Ilst.h"

namespace tessival::media {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Fields = std::vector<std::pair<std::string, std::string>>;

Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }
// A literal with NULs inside, whole.
template <std::size_t N>
std::string S(const char (&text)[N]) {
    return std::string(text, N - 1);
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Be32(std::uint32_t v) {
    return {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}
Bytes Syncsafe(std::uint32_t v) {
    return Be32((v & 0x7F) | (v << 1 & 0x7F00) | (v << 2 & 0x7F0000) | (v << 3 & 0x7F000000));
}

// An ID3v2 frame as version 3 (plain size) or 4 (syncsafe size) writes it.
Bytes Frame(int version, const std::string& id, const Bytes& body, std::uint8_t formatFlags = 0) {
    return B(id) + (version == 4 ? Syncsafe(body.size()) : Be32(body.size())) + Bytes{0, formatFlags} + body;
}
Bytes F3(const std::string& id, const Bytes& body, std::uint8_t flags = 0) { return Frame(3, id, body, flags); }
Bytes F4(const std::string& id, const Bytes& body, std::uint8_t flags = 0) { return Frame(4, id, body, flags); }
Bytes Tag(int version, const Bytes& frames, std::uint8_t flags = 0) {
    return Bytes{'I', 'D', '3', std::uint8_t(version), 0, flags} + Syncsafe(frames.size()) + frames;
}
// A text frame body: encoding byte, then the text (NULs inside as given).
Bytes Text(std::uint8_t encoding, const std::string& text) { return Bytes{encoding} + B(text); }
Bytes Utf16Le(const std::u16string& text) {
    Bytes out{0xFF, 0xFE};
    for (const char16_t unit : text) out = out + Bytes{std::uint8_t(unit), std::uint8_t(unit >> 8)};
    return out;
}

MediaTags WrittenTags() {
    MediaTags tags;
    tags.fields = {{"comment", "one"}, {"comment", "two"}, {"comment", "three"}, {"LYRICS", "la"}, {"LYRICS", "li"}};
    return tags;
}

Fields Id3Fields(const Bytes& tag, bool& parsed) {
    MediaTags tags;
    parsed = ParseId3v2Tag(tag, tags);
    return tags.fields;
}

TEST(Id3v2Reader, FramesGiveTheirFieldsAndADamagedTagWhatComesBeforeTheDamage) {
    const std::string big(271, 'x');  // 272 bytes a frame: 00 00 01 10, syncsafe 144
    const struct {
        const char* name;
        Bytes tag;
        bool parsed;
        Fields fields;
    } cases[] = {
        {"2.4 values NUL-separated", Tag(4, F4("TPE1", Text(3, S("Ann\0Bob\0")))), true,
         {{"artist", "Ann"}, {"artist", "Bob"}}},
        {"2.3 text kept whole, UTF-16", Tag(3, F3("TPE1", Bytes{1} + Utf16Le(u"AC/DC \u00e9"))), true,
         {{"artist", "AC/DC \xC3\xA9"}}},
        {"COMM by description, USLT",
         Tag(4, F4("COMM", Text(3, S("eng\0Nice"))) + F4("COMM", Text(3, S("engMood note\0Calm"))) +
                    F4("COMM", Text(3, S("eng2\0More"))) + F4("USLT", Text(3, S("eng\0la\nla")))),
         true, {{"comment", "Nice"}, {"Mood note", "Calm"}, {"comment", "More"}, {"LYRICS", "la\nla"}}},
        {"TXXX and UFID",
         Tag(4, F4("TXXX", Text(3, S("REPLAYGAIN_TRACK_GAIN\0-6.50 dB"))) +
                    F4("TXXX", Text(0, S("MusicBrainz Album Id\0a-b"))) +
                    F4("UFID", B(S("http://musicbrainz.org\0" "11-22"))) +
                    F4("UFID", B(S("http://other.example\0" "\x01\x02")))),
         true,
         {{"REPLAYGAIN_TRACK_GAIN", "-6.50 dB"}, {"MUSICBRAINZ_ALBUMID", "a-b"}, {"MUSICBRAINZ_TRACKID", "11-22"}}},
        {"conductor, flags, numbers with totals, genre number",
         Tag(3, F3("TPE3", Text(0, "Eve")) + F3("TCMP", Text(0, "1")) + F3("TBPM", Text(0, "120")) +
                    F3("TSRC", Text(0, "USABC0100001")) + F3("TRCK", Text(0, "3/12")) +
                    F3("TPOS", Text(0, "1")) + F3("TCON", Text(0, "(17)")) + F3("TCON", Text(0, "((Art)")) +
                    F3("TSSE", Text(0, "LAME"))),
         true,
         {{"CONDUCTOR", "Eve"}, {"COMPILATION", "1"}, {"BPM", "120"}, {"ISRC", "USABC0100001"}, {"track", "3"},
          {"TRACKTOTAL", "12"}, {"disc", "1"}, {"genre", "Rock"}, {"genre", "(Art)"}}},
        {"2.3 date from year, day and month", Tag(3, F3("TDAT", Text(0, "0302")) + F3("TYER", Text(0, "2001"))),
         true, {{"date", "2001-02-03"}}},
        {"2.3 unsynchronised bytes restored",
         Bytes{'I', 'D', '3', 3, 0, 0x80} + Syncsafe(15) + B("TIT2") + Be32(3) + Bytes{0, 0, 0, 0xFF, 0x00, 'a'}, true,
         {{"title", "\xC3\xBF" "a"}}},
        {"2.4 frame unsynchronised with a data length",
         Tag(4, F4("TIT2", Bytes{0, 0, 0, 3} + Bytes{0, 0xFF, 0x00, 'b'}, 0x03)), true, {{"title", "\xC3\xBF" "b"}}},
        {"extended headers", Tag(3, Be32(6) + Bytes(6, 0) + F3("TIT2", Text(0, "A")), 0x40), true, {{"title", "A"}}},
        {"2.4 extended header", Tag(4, Syncsafe(6) + Bytes{1, 0} + F4("TIT2", Text(0, "A")), 0x40), true,
         {{"title", "A"}}},
        {"2.4 with plain frame sizes",
         Tag(4, B("TIT2") + Be32(272) + Bytes{0, 0} + Text(0, big) + F4("TALB", Text(0, "Disc"))),
         true, {{"title", big}, {"album", "Disc"}}},
        {"zero-length and undecodable frames skipped",
         Tag(4, F4("TIT1", {}) + F4("TIT2", Text(7, "bad")) + F4("TALB", Text(3, "Disc\xFF"))), true,
         {{"album", "Disc\xC3\xBF"}}},
        {"frame past the end", Tag(4, F4("TIT2", Text(0, "A")) + B("TALB") + Syncsafe(99) + Bytes{0, 0, 0, 'x'}), true,
         {{"title", "A"}}},
        {"tag cut short", Bytes{'I', 'D', '3', 4, 0, 0} + Syncsafe(500) + F4("TIT2", Text(0, "A")) + B("TAL"), true,
         {{"title", "A"}}},
        {"padding ends the frames", Tag(3, F3("TIT2", Text(0, "A")) + Bytes(20, 0) + F3("TALB", Text(0, "B"))),
         true, {{"title", "A"}}},
        {"extended header past the end", Tag(3, Be32(5000) + Bytes(6, 0), 0x40), true, {}},
        {"UTF-16 damaged: lone surrogate, odd byte",
         Tag(3, F3("TIT2", Bytes{1, 0xFF, 0xFE, 0x00, 0xD8, 'a', 0, 'b'})), true,
         {{"title", "\xEF\xBF\xBD" "a"}}},
        {"version 2.2", Bytes{'I', 'D', '3', 2, 0, 0} + Syncsafe(0), false, {}},
        {"no tag", B("RIFF....WAVE"), false, {}},
        {"several comments as written, 2.4", Id3v2Tag(WrittenTags(), 4), true, WrittenTags().fields},
        {"several comments as written, 2.3", Id3v2Tag(WrittenTags(), 3), true, WrittenTags().fields},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool parsed = false;
        EXPECT_EQ(Id3Fields(c.tag, parsed), c.fields);
        EXPECT_EQ(parsed, c.parsed);
    }
}

// An MP4 box: size, type, contents.
Bytes Box(const std::string& type, const Bytes& body) { return Be32(8 + body.size()) + B(type) + body; }
Bytes Data(std::uint32_t type, const Bytes& payload) { return Box("data", Be32(type) + Be32(0) + payload); }
Bytes Freeform(const std::string& name, const Bytes& data) {
    return Box("----", Box("mean", Be32(0) + B("com.apple.iTunes")) + Box("name", Be32(0) + B(name)) + data);
}

TEST(Mp4IlstReader, ItemsGiveTheirFieldsAndADamagedListWhatComesBeforeTheDamage) {
    MediaTags written;
    written.fields = {{"artist", "Ann"}, {"artist", "Bob"}, {"track", "3"}, {"TRACKTOTAL", "12"}, {"BPM", "120"},
                      {"REPLAYGAIN_TRACK_GAIN", "-6.50 dB"}, {"Own Field", "x"}};
    const struct {
        const char* name;
        Bytes items;
        Fields fields;
    } cases[] = {
        {"several data atoms", Box("\251ART", Data(1, B("Ann")) + Data(1, B("Bob"))),
         {{"artist", "Ann"}, {"artist", "Bob"}}},
        {"freeform items by name",
         Freeform("MusicBrainz Track Id", Data(1, B("11-22"))) +
             Freeform("replaygain_track_gain", Data(1, B("-6.50 dB"))) +
             Freeform("CONDUCTOR", Data(0, B("Eve"))) + Freeform("Own Field", Data(1, B("x")) + Data(1, B("y"))) +
             Freeform("iTunNORM", Data(1, B(" 0000"))),
         {{"MUSICBRAINZ_TRACKID", "11-22"}, {"REPLAYGAIN_TRACK_GAIN", "-6.50 dB"}, {"CONDUCTOR", "Eve"},
          {"Own Field", "x"}, {"Own Field", "y"}}},
        {"numbers, flags, totals",
         Box("tmpo", Data(21, {0, 120})) + Box("tmpo", Data(1, B("96"))) + Box("cpil", Data(21, {1})) +
             Box("trkn", Data(0, {0, 0, 0, 3, 0, 12, 0, 0})) +
             Box("disk", Data(0, {0, 0, 0, 1, 0, 0})),
         {{"BPM", "120"}, {"BPM", "96"}, {"COMPILATION", "1"}, {"track", "3"}, {"TRACKTOTAL", "12"}, {"disc", "1"}}},
        {"texts and genre number",
         Box("\251cmt", Data(1, B("Nice"))) + Box("\251lyr", Data(1, B("la\nla"))) + Box("gnre", Data(0, {0, 18})) +
             Box("\251too", Data(1, B("Lavf"))) + Box("covr", Data(13, {0xFF, 0xD8})),
         {{"comment", "Nice"}, {"LYRICS", "la\nla"}, {"genre", "Rock"}}},
        {"UTF-16 and Latin-1 mislabelled as UTF-8",
         Box("\251nam", Data(2, {0, 'S', 0, 0xE9})) + Box("\251alb", Data(1, {'D', 0xE9})),
         {{"title", "S\xC3\xA9"}, {"album", "D\xC3\xA9"}}},
        {"item past the end", Box("\251nam", Data(1, B("A"))) + Be32(500) + B("\251alb") + Data(1, B("B")),
         {{"title", "A"}}},
        {"item too small to be one", Box("\251nam", Data(1, B("A"))) + Be32(4) + B("\251alb"), {{"title", "A"}}},
        {"data atoms damaged",
         Box("\251nam", Be32(300) + B("data") + Be32(1)) + Box("\251alb", Box("data", {0, 0, 1})) +
             Box("trkn", Data(0, {0, 0, 0})) +
             Box("tmpo", Data(21, {})) + Freeform("", Data(1, B("nameless"))) + Box("\251gen", Data(1, B("Pop"))),
         {{"genre", "Pop"}}},
        {"items as written", Mp4IlstItems(written), written.fields},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MediaTags tags;
        ParseMp4Ilst(c.items, tags);
        EXPECT_EQ(tags.fields, c.fields);
    }
}

}  // namespace
}  // namespace tessival::media
