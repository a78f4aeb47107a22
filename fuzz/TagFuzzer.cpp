// The tag readers and rewriters on any bytes, and the ID3v2 writer on any tags. The rules: a
// rewrite of a file either refuses it or gives one that the same rewrite leaves as it is (so its
// own output parses, with the sizes it wrote) and that FFmpeg, when it read the file before,
// reads with the same audio and the fields set; the comment fill-in and the moov edits never move
// or grow what they were given; an ID3v2 tag's sizes add up frame by frame and our MP3 rewrite
// reads it back frame for frame; the file readers take nothing from outside the file.
//
// Input: a mode byte; for the rewrites an edit (up to four names and values, up to two dropped
// prefixes), then the bytes of the file, list or box; for the fill-in its comments, a container
// byte and the header; for the moov edits tags and the box; for the ID3v2 writer a version
// byte, a flags byte (low four bits set: one value of megabytes) and tags.
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "AudioOracle.h"
#include "FuzzSupport.h"
#include "FuzzedTags.h"
#include "InputBytes.h"
#include "platform/media/Id3v2Reader.h"
#include "platform/media/Mp4IlstReader.h"
#include "platform/media/TagMapping.h"
#include "platform/media/VorbisComments.h"
#include "platform/media/filters/sinks/Id3v2Tag.h"
#include "platform/media/filters/sinks/Mp4GaplessInfo.h"
#include "platform/media/filters/sinks/Mp4Ilst.h"
#include "platform/media/filters/sinks/VorbisCommentFill.h"
#include "platform/media/retag/TagEdit.h"
#include "platform/media/retag/VorbisCommentList.h"

using namespace tessival;
using namespace tessival::fuzz;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A comment name as the CLI passes them on: printable ASCII without '='.
std::string Name(InputBytes& input, std::size_t most) {
    std::string name = input.Text(input.Byte() % most);
    for (char& c : name)
        if (c < 0x20 || c > 0x7D || c == '=') c = 'A' + static_cast<unsigned char>(c) % 26;
    return name;
}

media::TagEdit ReadEdit(InputBytes& input) {
    media::TagEdit edit;
    for (int i = input.Byte() % 5; i > 0; --i) {
        std::string name = Name(input, 16);
        std::string value = input.Text(input.Byte());
        if (!name.empty()) edit.set.emplace_back(std::move(name), std::move(value));
    }
    for (int i = input.Byte() % 3; i > 0; --i) edit.dropPrefixes.push_back(Name(input, 8));
    return edit;
}

Bytes Rest(InputBytes& input) {
    const std::string rest = input.Text(~std::size_t{0});
    return Bytes(rest.begin(), rest.end());
}

using Retag = bool (*)(std::span<const std::uint8_t>, const media::TagEdit&, Bytes&);

// A field FFmpeg shows under the edit's name (any case) with its value among others.
bool Shows(const DecodedAudio& decoded, const std::string& name, const std::string& value) {
    return std::any_of(decoded.tags.begin(), decoded.tags.end(), [&](const auto& tag) {
        return strcasecmp(tag.first.c_str(), name.c_str()) == 0 && tag.second.find(value) != std::string::npos;
    });
}

// Values as the gain writer sets them: printable ASCII, which every tag format carries as it is.
bool PlainText(const std::string& value) {
    return !value.empty() && std::all_of(value.begin(), value.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// A file FFmpeg reads keeps its audio through a rewrite and shows the fields set.
void CheckReadBack(const Bytes& before, const Bytes& after, const media::TagEdit& edit, const char* format) {
    static const ScratchFolder folder;
    const std::string path = folder.File("retagged");
    WriteFile(path, before.data(), before.size());
    const auto original = DecodeWithFfmpeg(path, format);
    if (!original || original->samples == 0) return;
    WriteFile(path, after.data(), after.size());
    const auto rewritten = DecodeWithFfmpeg(path, format);
    Require(rewritten && rewritten->samples == original->samples, "a rewrite leaves the audio as it was");
    // A name's first value only: FFmpeg reads one value of an ID3v2 TXXX frame that holds several.
    std::vector<std::string> named;
    for (const auto& field : edit.set) {
        const auto sameName = [&](const std::string& seen) { return strcasecmp(seen.c_str(), field.first.c_str()) == 0; };
        const bool first = std::none_of(named.begin(), named.end(), sameName);
        named.push_back(field.first);
        if (first && PlainText(field.second))
            Require(Shows(*rewritten, field.first, field.second), "FFmpeg reads the fields a rewrite set");
    }
}

// The edit applied to its own output changes nothing more.
void CheckRetag(Retag retag, const Bytes& file, const media::TagEdit& edit, bool settles, const char* format) {
    Bytes once;
    if (!retag(file, edit, once)) return;
    Bytes twice;
    Require(retag(once, edit, twice), "a rewritten file parses again");
    if (settles) Require(twice == once, "a rewrite of a rewritten file changes nothing");
    CheckReadBack(file, once, edit, format);
}

// Freeform MP4 items are replaced by name; a known field adds its atom again.
bool AllFreeform(const media::TagEdit& edit) {
    return std::none_of(edit.set.begin(), edit.set.end(), [](const auto& field) { return media::FindTagField(field.first); });
}

void CheckCommentListEdit(const Bytes& list, const media::TagEdit& edit) {
    media::MediaTags tags;
    media::ParseVorbisComments(std::string_view(reinterpret_cast<const char*>(list.data()), list.size()), tags);
    Bytes once;
    if (!media::EditVorbisComments(list, edit, once)) return;
    media::MediaTags edited;
    Require(media::ParseVorbisComments(std::string_view(reinterpret_cast<const char*>(once.data()), once.size()), edited),
            "an edited comment list parses");
    Bytes twice;
    Require(media::EditVorbisComments(once, edit, twice) && twice == once, "an edited comment list edits the same again");
}

void CheckFill(InputBytes& input) {
    std::vector<std::string> comments;
    for (int i = input.Byte() % 4; i > 0; --i) comments.push_back(Name(input, 12) + "=" + input.Text(input.Byte()));
    const media::VorbisCommentFill fill(comments);
    const bool flac = input.Byte() & 1;
    const Bytes original = Rest(input);
    Bytes header = original;
    const bool filled = flac ? fill.FillFlac(header) : fill.FillOgg(header);
    Require(header.size() == original.size(), "the fill-in writes over the placeholder, never past it");
    if (!filled) Require(header == original, "a fill-in that finds no placeholder changes nothing");
}

void CheckMoovEdits(InputBytes& input) {
    const media::MediaTags tags = ReadTags(input);
    const Bytes original = Rest(input);
    Bytes moov = original;
    const media::Mp4GaplessInfo gapless(2112, 576, 44100);
    if (gapless.SetLength(moov)) Require(moov.size() == original.size(), "the gapless figures go over what is there");
    const std::size_t before = moov.size();
    const Bytes items = media::Mp4IlstItems(tags);
    if (!media::AddToMoovIlst(moov, items)) return;
    Require(moov.size() >= before + items.size(), "the item list grows by the items at least");
    const std::uint32_t size = std::uint32_t{moov[0]} << 24 | moov[1] << 16 | moov[2] << 8 | moov[3];
    Require(size == moov.size(), "the moov box's size is its new size");
}

std::size_t Be(const Bytes& bytes, std::size_t at, bool syncSafe) {
    std::size_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = value << (syncSafe ? 7 : 8) | bytes[at + i];
    return value;
}

// Walks the tag as a reader would: header, then frames whose sizes add up, then zeros.
void CheckId3v2Tag(InputBytes& input) {
    const int version = input.Byte() & 1 ? 3 : 4;
    const std::uint8_t flags = input.Byte();
    // Megabytes of one value are slow to check: one input in sixteen.
    const media::MediaTags tags = ReadTags(input, (flags & 0x0F) == 0x0F ? 6 : 0);
    const Bytes tag = media::Id3v2Tag(tags, version);
    if (tag.empty()) return;
    Require(tag.size() >= 10 && std::memcmp(tag.data(), "ID3", 3) == 0 && tag[3] == version && tag[5] == 0,
            "an ID3v2 tag starts with its header");
    Require(std::all_of(tag.begin() + 6, tag.begin() + 10, [](std::uint8_t b) { return b < 0x80; }) &&
                Be(tag, 6, true) == tag.size() - 10,
            "an ID3v2 tag's size is its size");
    std::size_t at = 10;
    for (; at + 10 <= tag.size() && tag[at] != 0;) {
        Require(std::all_of(tag.begin() + at, tag.begin() + at + 4, [](std::uint8_t c) { return std::isupper(c) || std::isdigit(c); }),
                "a frame id is four capitals or digits");
        if (version == 4)
            Require(std::all_of(tag.begin() + at + 4, tag.begin() + at + 8, [](std::uint8_t b) { return b < 0x80; }),
                    "an ID3v2.4 frame size is sync-safe");
        const std::size_t size = Be(tag, at + 4, version == 4);
        Require(size <= tag.size() - at - 10, "a frame ends inside its tag");
        at += 10 + size;
    }
    Require(std::all_of(tag.begin() + static_cast<std::ptrdiff_t>(std::min(at, tag.size())), tag.end(), [](std::uint8_t b) { return b == 0; }),
            "after the frames comes padding");
    // Our own rewrite reads the frames back as they are, the padding dropped.
    Bytes file = tag;
    const Bytes audio{0xFF, 0xFB, 0x90, 0x64};
    file.insert(file.end(), audio.begin(), audio.end());
    Bytes rewritten;
    Require(media::RetagMp3(file, {}, rewritten), "our MP3 rewrite reads our ID3v2 tag");
    Require(rewritten.size() == at + audio.size() && std::equal(tag.begin() + 10, tag.begin() + static_cast<std::ptrdiff_t>(at), rewritten.begin() + 10),
            "our MP3 rewrite keeps every frame of our tag");
}

// The readers that take a file: the comment list, the tags (ID3v2, MP4 items, FFmpeg), the
// container probe; then the ID3v2 and item list parsers on the bytes themselves.
void CheckFileReaders(const Bytes& bytes) {
    static const ScratchFolder folder;
    const std::string path = folder.File("tagged");
    WriteFile(path, bytes.data(), bytes.size());
    if (const auto list = media::ReadVorbisCommentList(path)) {
        Require(list->size() <= bytes.size(), "a comment list comes from the file");
        media::MediaTags tags;
        media::ParseVorbisComments(*list, tags);
    }
    const media::MediaTags tags = media::ReadMediaTags(path);
    Require(tags.cover.size() <= bytes.size(), "a cover comes from the file");
    media::ProbeTagContainer(path);
    // The same bytes as a tag or an item list on their own, as a file's reader hands them over.
    media::MediaTags parsed;
    media::ParseId3v2Tag(bytes, parsed);
    media::ParseMp4Ilst(bytes, parsed);
    Require(parsed.cover.empty(), "the tag parsers leave pictures to their caller");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InputBytes input(data, size);
    const std::uint8_t mode = input.Byte() % 9;
    if (mode == 5) return CheckFill(input), 0;
    if (mode == 6) return CheckMoovEdits(input), 0;
    if (mode == 7) return CheckId3v2Tag(input), 0;
    const media::TagEdit edit = ReadEdit(input);
    const Bytes bytes = Rest(input);
    switch (mode) {
    case 0: CheckRetag(&media::RetagFlac, bytes, edit, true, "flac"); break;
    case 1: CheckRetag(&media::RetagOgg, bytes, edit, true, "ogg"); break;
    case 2: CheckRetag(&media::RetagMp3, bytes, edit, true, "mp3"); break;
    case 3: CheckRetag(&media::RetagM4a, bytes, edit, AllFreeform(edit), "mov"); break;
    case 4: CheckCommentListEdit(bytes, edit); break;
    default: CheckFileReaders(bytes); break;
    }
    return 0;
}
