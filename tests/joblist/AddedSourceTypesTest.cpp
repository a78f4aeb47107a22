#include <gtest/gtest.h>

#include "joblist/ItemTypes.h"
#include "joblist/MediaFileFilter.h"
#include "joblist/TextField.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {
namespace {

std::string TypeForExtension(const char* extension) {
    ConvertItem item;
    WriteField(item.sourceExt, extension);
    DetectSourceType(item);
    return ReadField(item.sourceType);
}

TEST(AddedSourceTypes, WholeExtensionsOfTheGeneralFormatsGetTheirOwnTypes) {
    EXPECT_EQ(TypeForExtension("flac"), "FLAC");
    EXPECT_EQ(TypeForExtension("FLAC"), "FLAC");
    EXPECT_EQ(TypeForExtension("m4a"), "M4A");
    EXPECT_EQ(TypeForExtension("aac"), "AAC");
    EXPECT_EQ(TypeForExtension("ogg"), "OGG");
    EXPECT_EQ(TypeForExtension("opus"), "OPUS");
    EXPECT_EQ(TypeForExtension("aif"), "AIFF");
    EXPECT_EQ(TypeForExtension("aifc"), "AIFF");
    EXPECT_EQ(TypeForExtension("wv"), "WV");
    EXPECT_EQ(TypeForExtension("ape"), "APE");
    EXPECT_EQ(TypeForExtension("mka"), "MKA");
    EXPECT_EQ(TypeForExtension("webm"), "WEBM");
    EXPECT_EQ(TypeForExtension("mp4"), "MP4");
    EXPECT_EQ(TypeForExtension("cue"), "CUE");
    // Only whole extensions: no prefix rule for the added types.
    EXPECT_EQ(TypeForExtension("flacx"), "UNKNOWN");
    EXPECT_EQ(TypeForExtension("fla"), "UNKNOWN");
    EXPECT_EQ(TypeForExtension("w"), "UNKNOWN");
}

TEST(AddedSourceTypes, OriginalPrefixRulesStillComeFirst) {
    EXPECT_EQ(TypeForExtension("wave"), "WAV");
    EXPECT_EQ(TypeForExtension("mp3"), "MP3");
    EXPECT_EQ(TypeForExtension("mpeg"), "MPG");
    EXPECT_EQ(TypeForExtension("avi"), "AVI");
    EXPECT_EQ(TypeForExtension("cap"), "CAP");
    EXPECT_EQ(TypeForExtension("data"), "DAT");
    EXPECT_EQ(TypeForExtension("mp3x"), "MP3");
}

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
