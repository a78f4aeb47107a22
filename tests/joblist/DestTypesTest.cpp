#include <gtest/gtest.h>

#include "joblist/DestNaming.h"
#include "joblist/DestTypes.h"
#include "joblist/SourceKind.h"
#include "joblist/TextField.h"

namespace tessival {
namespace {

TEST(DestTypes, ExtensionsFollowTheTypeTheWaveTypesKeepTheirThreeLetters) {
    EXPECT_EQ(DestTypeExtension("LAME MP3"), "mp3");
    EXPECT_EQ(DestTypeExtension("FLAC"), "flac");
    EXPECT_EQ(DestTypeExtension("Ogg Vorbis"), "ogg");
    EXPECT_EQ(DestTypeExtension("Opus"), "opus");
    EXPECT_EQ(DestTypeExtension("M4A AAC"), "m4a");
    EXPECT_EQ(DestTypeExtension("MP3"), "mp3");
    EXPECT_EQ(DestTypeExtension("WMA"), "wma");
    EXPECT_EQ(DestTypeExtension("WAV (FLAC Encoder)"), "wav");
    EXPECT_EQ(DestTypeExtension("WAV (Opus)"), "wav");
}

TEST(DestTypes, TypesAreFoundByTheirFirstThreeLettersOnly) {
    ASSERT_NE(FindFileDestType("Opus"), nullptr);
    EXPECT_EQ(FindFileDestType("Opus, 2021")->type, "Opus");
    EXPECT_EQ(FindFileDestType("FLA")->type, "FLAC");
    EXPECT_EQ(FindFileDestType("Fl"), nullptr);
    EXPECT_EQ(FindFileDestType("flac"), nullptr);  // types compare case-sensitively
    for (const char* original : {"UNSPECIFIED", "WMA", "WAV", "MP3", "WAV (PCM)", "ASF", "VOB"})
        EXPECT_EQ(FindFileDestType(original), nullptr) << original;
}

TEST(DestTypes, NoTypeTextCanBeMistakenForAnOriginalOne) {
    for (const FileDestType& file : FileDestTypes()) {
        EXPECT_EQ(file.type.find('('), std::string_view::npos) << file.type;
        for (const char* original : {"WAV", "MP3", "WMA", "ASF", "VOB", "UNS"})
            EXPECT_NE(file.type.substr(0, 3), original) << file.type;
        EXPECT_EQ(FindFileDestType(file.type), &file);
    }
}

TEST(DestTypes, AreListedBuiltInThenOneWaveTypePerCompressorThenFileTypes) {
    const DestTypeList list = MakeDestTypeList({"PCM", "GSM 6.10"});
    EXPECT_EQ(list.builtIn, (std::vector<std::string>{"WMA", "WAV", "MP3"}));
    EXPECT_EQ(list.compressors, (std::vector<std::string>{"WAV (PCM)", "WAV (GSM 6.10)"}));
    EXPECT_EQ(list.files, (std::vector<std::string>{"LAME MP3", "FLAC", "Ogg Vorbis", "Opus", "M4A AAC"}));
}

TEST(DestTypes, TheEncoderOfAWaveTypeIsTheTextInItsParentheses) {
    const struct {
        const char* type;
        std::optional<std::string> encoder;
    } cases[] = {
        {"WAV (GSM 6.10)", "GSM 6.10"},
        {"WAV (Codec (v2))", "Codec (v2)"},  // only the closing one goes
        {"WAV (Cut by the fie", "Cut by the fie"},
        {"WAV ()", ""},
        {"MP3", std::nullopt},
        {"LAME MP3", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(EncoderNameOfType(c.type), c.encoder) << c.type;
}

TEST(DestTypes, SettingATypeRenamesTheItemAndForgetsItsQuality) {
    const struct {
        std::string before;
        const char* type;
        std::string after;
    } cases[] = {
        {"song.mp3", "WMA", "song.wma"},
        {"my.song.mp3", "WMA", "my.wma"},
        {".hidden", "WMA", ".hidden.wma"},
        {"plain", "WMA", "plain.wma"},
        {std::string(79, 'n'), "MP3", std::string(75, 'n') + ".mp3"},
        {"song.wav", "WAV (PCM)", "song.wav"},
        {"song.wav", "LAME MP3", "song.mp3"},
        {"song.wav", "FLAC", "song.flac"},
        {"song.wav", "Ogg Vorbis", "song.ogg"},
        {"song.wav", "Opus", "song.opus"},
        {"song.wav", "M4A AAC", "song.m4a"},
    };
    for (const auto& c : cases) {
        ConvertItem item{};
        WriteField(item.destType, "UNSPECIFIED");
        WriteField(item.destName, c.before);
        item.quality.nChannels = 2;
        SetDestType(item, c.type);
        EXPECT_EQ(ReadField(item.destType), c.type);
        EXPECT_EQ(ReadField(item.destName), c.after) << c.type;
        EXPECT_EQ(static_cast<int>(item.quality.nChannels), 0) << c.type;  // a copy: the record is packed
        // The old type leaves no bytes behind in the list file.
        EXPECT_EQ(item.destType[std::string_view(c.type).size() + 1], '\0') << c.type;
    }
}

TEST(SourceKind, CdTracksAndCaptureDevicesAreToldByTheirTypeTheRestAreFiles) {
    const struct {
        const char* sourceType;
        SourceKind kind;
    } cases[] = {{"CDA", SourceKind::CdTrack}, {"CAP", SourceKind::Capture}, {"CAPTURE", SourceKind::Capture},
                 {"MP3", SourceKind::File},    {"CA", SourceKind::File},       {"cda", SourceKind::File},
                 {"", SourceKind::File}};
    for (const auto& c : cases) {
        ConvertItem item{};
        WriteField(item.sourceType, c.sourceType);
        EXPECT_EQ(SourceKindOf(item), c.kind) << c.sourceType;
    }
}

}  // namespace
}  // namespace tessival
