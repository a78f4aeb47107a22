#include <gtest/gtest.h>

#include "platform/net/CddbEntry.h"

namespace tessival {
namespace {

TEST(CddbEntry, OnlyAnExactMatchIsRead) {
    using Match = std::optional<std::pair<std::string, std::string>>;
    const std::pair<const char*, Match> answers[] = {
        {"200 rock 940aac0d Band / Album\r\n", Match({"rock", "940aac0d"})},
        {"210 Found exact matches, list follows (until terminating `.')\r\nmisc 940aac0d Band / Album\r\n"
         "rock 940aac0e Band / Album\r\n.\r\n",
         Match({"misc", "940aac0d"})},
        {"211 Found inexact matches, list follows (until terminating `.')\r\nrock 940aac0e Other / Disc\r\n.\r\n",
         std::nullopt},
        {"202 No match found\r\n", std::nullopt},
        {"403 Database entry is corrupt\r\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [answer, match] : answers) EXPECT_EQ(CddbEntry::ExactMatch(answer), match) << answer;
}

TEST(CddbEntry, FieldsOverSeveralLinesJoinAndCompilationsNameEachTracksArtist) {
    const auto entry = CddbEntry::Parse(
        "210 misc 940aac0d CD database entry follows (until terminating `.')\r\n# xmcd\r\n#\r\nDISCID=940aac0d\r\n"
        "DTITLE=Various / Summer \r\nDTITLE=Hits\r\nDYEAR=2001\r\nDGENRE=Pop\r\nTTITLE0=Anna / Sun\r\n"
        "TTITLE1=Plain Title\r\nEXTD=\r\n.\r\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->album, "Summer Hits");
    EXPECT_EQ(entry->albumArtist, "Various");
    EXPECT_EQ(entry->date, "2001");
    EXPECT_EQ(entry->genre, "Pop");
    ASSERT_EQ(entry->tracks.size(), 2u);
    EXPECT_EQ(entry->tracks[0].title, "Sun");
    EXPECT_EQ(entry->tracks[0].artist, "Anna");
    EXPECT_EQ(entry->tracks[1].title, "Plain Title");
    EXPECT_EQ(entry->tracks[1].artist, "");
    // Without " / " the title names both, as the format has it.
    const auto one = CddbEntry::Parse("DTITLE=Selftitled\n");
    ASSERT_TRUE(one);
    EXPECT_EQ(one->album, "Selftitled");
    EXPECT_EQ(one->albumArtist, "Selftitled");
    EXPECT_FALSE(CddbEntry::Parse("202 No match found\r\n"));
}

}  // namespace
}  // namespace tessival
