#include <gtest/gtest.h>

#include <cstring>

#include "joblist/ItemChecks.h"
#include "joblist/ItemTypes.h"
#include "joblist/TextField.h"

namespace tessival {
namespace {

std::string TypeForExtension(const char* extension) {
    ConvertItem item;
    WriteField(item.sourceExt, extension);
    DetectSourceType(item);
    return ReadField(item.sourceType);
}

TEST(DetectSourceType, ExtensionPrefixDecidesTheType) {
    EXPECT_EQ(TypeForExtension("asf"), "ASF");
    EXPECT_EQ(TypeForExtension("wmv"), "WMV");
    EXPECT_EQ(TypeForExtension("wma"), "WMA");
    EXPECT_EQ(TypeForExtension("dat"), "DAT");
    EXPECT_EQ(TypeForExtension("vob"), "VOB");
    EXPECT_EQ(TypeForExtension("mpg"), "MPG");
    EXPECT_EQ(TypeForExtension("mpeg"), "MPG");
    EXPECT_EQ(TypeForExtension("avi"), "AVI");
    EXPECT_EQ(TypeForExtension("mp3"), "MP3");
    EXPECT_EQ(TypeForExtension("cda"), "CDA");
    EXPECT_EQ(TypeForExtension("wav"), "WAV");
    EXPECT_EQ(TypeForExtension("cap"), "CAP");
    EXPECT_EQ(TypeForExtension("wave"), "WAV");
    EXPECT_EQ(TypeForExtension("live.mp3"), "UNKNOWN");
}

TEST(DetectSourceType, WholeExtensionsOfTheGeneralFormatsGetTheirOwnTypes) {
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

TEST(DetectSourceType, OriginalPrefixRulesStillComeFirst) {
    EXPECT_EQ(TypeForExtension("wave"), "WAV");
    EXPECT_EQ(TypeForExtension("mp3"), "MP3");
    EXPECT_EQ(TypeForExtension("mpeg"), "MPG");
    EXPECT_EQ(TypeForExtension("avi"), "AVI");
    EXPECT_EQ(TypeForExtension("cap"), "CAP");
    EXPECT_EQ(TypeForExtension("data"), "DAT");
    EXPECT_EQ(TypeForExtension("mp3x"), "MP3");
}

TEST(DetectSourceType, ShortExtensionsCompareTheirNul) {
    EXPECT_EQ(TypeForExtension("mp"), "UNKNOWN");
    EXPECT_EQ(TypeForExtension("mpe"), "UNKNOWN");
    EXPECT_EQ(TypeForExtension(""), "UNKNOWN");
}

TEST(DetectSourceType, RemainsBehindTheNulDoNotCount) {
    ConvertItem item;
    WriteField(item.sourceExt, "mp3");
    WriteField(item.sourceExt, "mp");  // leaves "3" behind the NUL
    DetectSourceType(item);
    EXPECT_EQ(ReadField(item.sourceType), "UNKNOWN");
}

TEST(DetectSourceType, LowerCasesExtensionAndResetsDestAndStatus) {
    ConvertItem item;
    WriteField(item.sourceExt, "MP3");
    WriteField(item.destType, "WAV (PCM)");
    WriteField(item.status, "Error: x");
    DetectSourceType(item);
    EXPECT_EQ(ReadField(item.sourceExt), "mp3");
    EXPECT_EQ(ReadField(item.sourceType), "MP3");
    EXPECT_EQ(ReadField(item.destType), "UNSPECIFIED");
    EXPECT_EQ(ReadField(item.status), "Ready");
    EXPECT_EQ(TypeForExtension("CAP"), "CAP");
}

class FakeDrives : public DriveTypes {
public:
    explicit FakeDrives(std::string cdromPrefix) : cdromPrefix_(std::move(cdromPrefix)) {}
    bool IsCdRom(const std::string& path) const override { return path.rfind(cdromPrefix_, 0) == 0; }

private:
    std::string cdromPrefix_;
};

ConvertItem CompleteItem() {
    ConvertItem item;
    WriteField(item.sourceExt, "mp3");
    DetectSourceType(item);
    WriteField(item.destName, "song.wav");
    WriteField(item.destPath, "/home/user/");
    WriteField(item.destType, "WAV");
    item.quality.nChannels = 2;
    return item;
}

TEST(IsItemComplete, EachMissingPieceMakesTheItemIncomplete) {
    const FakeDrives drives("/media/cdrom");
    EXPECT_TRUE(IsItemComplete(CompleteItem(), drives));

    ConvertItem fresh;
    WriteField(fresh.sourceExt, "mp3");
    DetectSourceType(fresh);
    EXPECT_FALSE(IsItemComplete(fresh, drives));

    ConvertItem item = CompleteItem();
    item.quality.nChannels = 0;
    EXPECT_FALSE(IsItemComplete(item, drives));

    item = CompleteItem();
    WriteField(item.destName, "");
    EXPECT_FALSE(IsItemComplete(item, drives));

    item = CompleteItem();
    WriteField(item.destPath, "/a");
    EXPECT_FALSE(IsItemComplete(item, drives));
    WriteField(item.destPath, "/a/");
    EXPECT_TRUE(IsItemComplete(item, drives));

    item = CompleteItem();
    WriteField(item.destType, "WA");
    EXPECT_FALSE(IsItemComplete(item, drives));

    item = CompleteItem();
    WriteField(item.destType, "UNSPECIFIED and more");
    EXPECT_FALSE(IsItemComplete(item, drives));

    item = CompleteItem();
    WriteField(item.destPath, "/media/cdrom/music");
    EXPECT_FALSE(IsItemComplete(item, drives));
}

TEST(IsItemComplete, UnknownSourceTypeCanStillBeComplete) {
    ConvertItem item = CompleteItem();
    WriteField(item.sourceType, "UNKNOWN");
    EXPECT_TRUE(IsItemComplete(item, FakeDrives("/cd")));
    EXPECT_TRUE(IsUnknownSourceType(item));
}

TEST(IsDestDriveUsable, EmptyOrCdRomPathsAreRefused) {
    const FakeDrives drives("/media/cdrom");
    EXPECT_FALSE(IsDestDriveUsable("", drives));
    EXPECT_FALSE(IsDestDriveUsable("/media/cdrom", drives));
    EXPECT_TRUE(IsDestDriveUsable("/tmp", drives));
}

}  // namespace
}  // namespace tessival
