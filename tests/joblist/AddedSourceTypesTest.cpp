#include <gtest/gtest.h>

#include "joblist/ItemTypes.h"

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

}  // namespace
}  // namespace tessival
