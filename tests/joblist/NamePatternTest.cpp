#include <gtest/gtest.h>

#include "joblist/DestNaming.h"
#include "joblist/NamePattern.h"
#include "joblist/TextField.h"

namespace tessival {
namespace {

NamedPath Expand(const std::string& text, const NameFields& fields, NameCharset charset = NameCharset::Posix) {
    std::string problem;
    const auto pattern = NamePattern::Parse(text, problem);
    EXPECT_TRUE(pattern) << problem;
    return pattern ? pattern->Expand(fields, charset) : NamedPath{};
}

NameFields Song(const std::string& title, const std::string& album = "Album") {
    NameFields fields;
    fields.artist = "Artist";
    fields.album = album;
    fields.title = title;
    fields.track = "3/12";
    fields.date = "2001-05-03";
    fields.source = "03 intro";
    fields.dir = "Artist/Album";
    return fields;
}

constexpr const char* kLibrary = "{albumartist}/{album}/{track:02} - {title}";

TEST(NamePattern, TagValuesNeverMakeFoldersOrHiddenFiles) {
    struct Case {
        std::string pattern;
        NameFields fields;
        std::vector<std::string> folders;
        std::string name;
        NameCharset charset = NameCharset::Posix;
    };
    NameFields controls = Song("a\tb\x7f");
    NameFields loose;
    loose.source = "loose";
    NameFields albumArtist = Song("x");
    albumArtist.albumArtist = "Various";
    const std::vector<Case> cases = {
        {kLibrary, Song("Intro"), {"Artist", "Album"}, "03 - Intro"},
        {kLibrary, Song("AC/DC live"), {"Artist", "Album"}, "03 - AC_DC live"},
        {kLibrary, Song(".."), {"Artist", "Album"}, "03 - 03 intro"},
        {kLibrary, Song(".hidden. "), {"Artist", "Album"}, "03 - hidden"},
        {kLibrary, Song("Intro", ""), {"Artist"}, "03 - Intro"},
        {kLibrary, Song("Intro", "../.."), {"Artist", "_"}, "03 - Intro"},
        {kLibrary, controls, {"Artist", "Album"}, "03 - a_b_"},
        {kLibrary, albumArtist, {"Various", "Album"}, "03 - x"},
        {"{artist}/{title}", Song("What? \"Yes\" <1|2>"), {"Artist"}, "What_ _Yes_ _1_2_", NameCharset::Portable},
        {"{artist}/{title}", Song("What? 1:2"), {"Artist"}, "What? 1:2"},
        {"{dir}/{source}", Song("x"), {"Artist", "Album"}, "03 intro"},
        {"{dir}/{source}", loose, {}, "loose"},
        {"{genre|date} {disc:02|track:03}", Song("x"), {}, "2001 003"},
        {"{disc} {title}", Song(" . Intro"), {}, "Intro"},
        {"../{album}/", Song("x"), {"Album"}, "03 intro"},
    };
    for (const Case& c : cases) {
        const NamedPath path = Expand(c.pattern, c.fields, c.charset);
        EXPECT_EQ(path.folders, c.folders) << c.pattern << " / " << c.fields.title;
        EXPECT_EQ(path.name, c.name) << c.pattern << " / " << c.fields.title;
    }
}

TEST(NamePattern, UnknownFieldsFormatsAndOpenBracesAreRefused) {
    for (const char* text : {"{nope}", "{title", "{track:2}", "{track:0x}"}) {
        std::string problem;
        EXPECT_FALSE(NamePattern::Parse(text, problem)) << text;
        EXPECT_FALSE(problem.empty()) << text;
    }
}

TEST(NamePattern, LongComponentsAreCutToTheirFieldsAtCharacterBoundaries) {
    std::string cjk;
    while (cjk.size() < 300) cjk += "\xe9\x9f\xb3";  // 音, three bytes
    ConvertItem item{};
    ASSERT_TRUE(WriteNamedDestination(item, "/music/out/", NamedPath{{"Artist", cjk}, cjk}, ".flac"));
    const std::string path = ReadField(item.destPath);
    const std::string name = ReadField(item.destName);
    // 254 bytes hold "/music/out/Artist/" and 78 whole characters; 79 hold 24 characters and ".flac".
    EXPECT_EQ(path, "/music/out/Artist/" + cjk.substr(0, 234));
    EXPECT_EQ(name, cjk.substr(0, 72) + ".flac");
    // A folder that finds no room at all refuses the item and leaves it as it was.
    ConvertItem full{};
    EXPECT_FALSE(WriteNamedDestination(full, "/" + std::string(252, 'd'), NamedPath{{"Artist"}, "x"}, ".flac"));
    EXPECT_EQ(FieldLength(full.destPath), 0u);
}

TEST(NamePattern, ClashesAreNumberedBeforeTheExtension) {
    EXPECT_EQ(NumberedDestName("01 - Intro.flac", ".flac", 2), "01 - Intro (2).flac");
    EXPECT_EQ(NumberedDestName("untyped", ".uns", 3), "untyped (3)");
    const std::string longName = std::string(74, 'n') + ".flac";
    EXPECT_EQ(NumberedDestName(longName, ".flac", 12), std::string(69, 'n') + " (12).flac");
}

}  // namespace
}  // namespace tessival
