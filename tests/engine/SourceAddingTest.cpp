#include <gtest/gtest.h>

#include <filesystem>

#include "engine/sources/SourceAdding.h"
#include "platform/media/MediaFixtures.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using media::test::MakeTone;

TEST(SourceAdding, AFolderGivesItsMediaFilesAtAnyDepthSortedByPath) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.File("disc 2/extras"));
    ASSERT_TRUE(MakeTone(dir.File("b.wav"), 22050, 1, "pcm_s16le", 0.2));
    ASSERT_TRUE(MakeTone(dir.File("disc 2/extras/a.flac"), 22050, 1, "flac", 0.2));
    // The name decides when the program knows it, else the content: audio counts, text not.
    test::WriteBytes(dir.File("A.MP3"), "not even audio");
    ASSERT_TRUE(MakeTone(dir.File("untitled"), 22050, 1, "flac", 0.2, "-f flac"));
    test::WriteBytes(dir.File("notes.txt"), "liner notes\n");
    test::WriteBytes(dir.File("jobs.TSL"), std::string(1060, '\0'));
    EXPECT_EQ(MediaFilesBelow(dir.Path()),
              (std::vector<std::string>{dir.File("A.MP3"), dir.File("b.wav"), dir.File("disc 2/extras/a.flac"),
                                        dir.File("untitled")}));
    EXPECT_EQ(MediaFilesBelow(dir.File("no such folder")), std::vector<std::string>{});
}

TEST(SourceAdding, AddsOneEntryAndWidensAllSupportedFiles) {
    const std::string original = LoadString(IDS_MEDIA_FILTER);
    ASSERT_EQ(original,
              "All supported media files|*.asf;*.wav;*.wma;*.wmv;*.mpg;*.mpeg;*.dat;*.vob;*.avi;*.mp3;*.cda|"
              "All files(*.*)|*.*||NULL");
    const std::string filter = ExtendedMediaFilter(original, "More");
    EXPECT_EQ(filter.rfind("All supported media files|*.asf;*.wav;*.wma;*.wmv;*.mpg;*.mpeg;*.dat;*.vob;*.avi;*.mp3;"
                           "*.cda;*.flac;*.m4a;",
                           0),
              0u)
        << filter;
    EXPECT_NE(filter.find("|More|*.flac;*.m4a;"), std::string::npos) << filter;
    EXPECT_NE(filter.find(";*.opus;"), std::string::npos);
    EXPECT_NE(filter.find(";*.cue"), std::string::npos);
    const auto more = filter.find("|More|");
    EXPECT_EQ(filter.substr(filter.find('|', more + 6)), "|All files(*.*)|*.*||NULL");
    EXPECT_EQ(ExtendedMediaFilter("no bars here", "More"), "no bars here");
}

}  // namespace
}  // namespace tessival
