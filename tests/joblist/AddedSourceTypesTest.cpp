#include <gtest/gtest.h>

#include "joblist/ItemTypes.h"
#include "joblist/MediaFileFilter.h"
#include "joblist/TextField.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {
namespace {

TEST(AddedSourceTypes, TheDialogListsThemAfterTheOriginalEntriesWithDistinctPrefixes) {
    const auto types = SourceTypes();
    ASSERT_GT(types.size(), 12u);
    EXPECT_EQ(types[0].code, "UNK");
    EXPECT_EQ(types[11].code, "CAP");
    EXPECT_EQ(types[12].description, "FLAC (Free Lossless Audio Codec)");
    // The dialog stores three characters and finds the entry again by them.
    for (std::size_t i = 0; i < types.size(); ++i) {
        for (std::size_t j = i + 1; j < types.size(); ++j)
            EXPECT_NE(types[i].description.substr(0, 3), types[j].description.substr(0, 3)) << types[j].code;
    }
}

TEST(MediaFileFilter, AddsOneEntryAndWidensAllSupportedFiles) {
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
