#include <gtest/gtest.h>

#include "joblist/DestNaming.h"

namespace tessival {
namespace {

TEST(DestNaming, EachTypeGivesItsExtension) {
    EXPECT_EQ(DestTypeExtension("MP3"), "mp3");
    EXPECT_EQ(DestTypeExtension("WMA"), "wma");
    EXPECT_EQ(DestTypeExtension("WAV"), "wav");
    EXPECT_EQ(DestTypeExtension("WAV (IMA ADPCM)"), "wav");
    EXPECT_EQ(DestTypeExtension("WAV (MPEG Layer-3)"), "wav");
    // A type without its own line keeps the old rule: its first three letters.
    EXPECT_EQ(DestTypeExtension("Xyzzy"), "xyz");
}

TEST(DestNaming, NameKeepsItsPartBeforeTheFirstDotAfterItsFirstCharacter) {
    EXPECT_EQ(RenamedForDestType("song.mp3", "WMA"), "song.wma");
    EXPECT_EQ(RenamedForDestType("my.song.mp3", "WMA"), "my.wma");
    EXPECT_EQ(RenamedForDestType(".hidden", "WMA"), ".hidden.wma");
    EXPECT_EQ(RenamedForDestType("song", "WAV (GSM 6.10)"), "song.wav");
    EXPECT_EQ(RenamedForDestType("", "MP3"), ".mp3");
}

TEST(DestNaming, LongNameLosesTheEndOfItsStemNotItsExtension) {
    const std::string ascii(79, 'n');
    EXPECT_EQ(RenamedForDestType(ascii, "MP3"), std::string(75, 'n') + ".mp3");
    // 40 two-byte characters: 37 of them fit before ".mp3" (74 + 4 bytes).
    std::string accented;
    for (int i = 0; i < 40; ++i) accented += "\xC3\xA9";
    std::string expected;
    for (int i = 0; i < 37; ++i) expected += "\xC3\xA9";
    EXPECT_EQ(RenamedForDestType(accented + ".wav", "MP3"), expected + ".mp3");
    EXPECT_EQ(FitDestName(ascii, ".flac"), std::string(74, 'n') + ".flac");
}

}  // namespace
}  // namespace tessival
