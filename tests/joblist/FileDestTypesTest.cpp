#include <gtest/gtest.h>

#include "joblist/DestNaming.h"
#include "joblist/FileDestTypes.h"

namespace tessival {
namespace {

TEST(FileDestTypes, ExtensionsFollowTheTypeTheWaveTypesKeepTheirThreeLetters) {
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

TEST(FileDestTypes, TypesAreFoundByTheirFirstThreeLettersOnly) {
    ASSERT_NE(FindFileDestType("Opus"), nullptr);
    EXPECT_EQ(FindFileDestType("Opus, 2021")->type, "Opus");
    EXPECT_EQ(FindFileDestType("FLA")->type, "FLAC");
    EXPECT_EQ(FindFileDestType("Fl"), nullptr);
    EXPECT_EQ(FindFileDestType("flac"), nullptr);  // types compare case-sensitively
    for (const char* original : {"UNSPECIFIED", "WMA", "WAV", "MP3", "WAV (PCM)", "ASF", "VOB"})
        EXPECT_EQ(FindFileDestType(original), nullptr) << original;
}

TEST(FileDestTypes, NoTypeTextCanBeMistakenForAnOriginalOne) {
    for (const FileDestType& file : FileDestTypes()) {
        EXPECT_EQ(file.type.find('('), std::string_view::npos) << file.type;
        for (const char* original : {"WAV", "MP3", "WMA", "ASF", "VOB", "UNS"})
            EXPECT_NE(file.type.substr(0, 3), original) << file.type;
        EXPECT_EQ(FindFileDestType(file.type), &file);
    }
}

}  // namespace
}  // namespace tessival
