#include <gtest/gtest.h>

#include "joblist/ItemFactory.h"
#include "joblist/TextField.h"

namespace tessival {
namespace {

TEST(ItemFactory, SingleFileSplitsAtTheLastDot) {
    const ConvertItem item = MakeSingleFileItem("/music/Song.Live.MP3");
    EXPECT_EQ(ReadField(item.sourceName), "Song.Live.MP3");
    EXPECT_EQ(ReadField(item.sourcePath), "/music/Song.Live.MP3");
    EXPECT_EQ(ReadField(item.sourceExt), "mp3");
    EXPECT_EQ(ReadField(item.sourceType), "MP3");
    EXPECT_EQ(ReadField(item.destName), "Song.Live");
    EXPECT_EQ(ReadField(item.destPath), "/music/");
    EXPECT_EQ(ReadField(item.destType), "UNSPECIFIED");
    EXPECT_EQ(ReadField(item.status), "Ready");
    EXPECT_EQ(+item.quality.nChannels, 0);  // + copies the packed field
}

TEST(ItemFactory, SeveralFilesSplitAtTheFirstDot) {
    const auto items = MakeMultiFileItems("/music", {"Song.Live.mp3", "noext", "100%.wav"});
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(ReadField(items[0].sourceExt), "live.mp3");
    EXPECT_EQ(ReadField(items[0].sourceType), "UNKNOWN");
    EXPECT_EQ(ReadField(items[0].destName), "Song");
    EXPECT_EQ(ReadField(items[0].sourcePath), "/music/Song.Live.mp3");
    EXPECT_EQ(ReadField(items[0].destPath), "/music/");
    EXPECT_EQ(ReadField(items[1].destName), "");
    EXPECT_EQ(ReadField(items[1].sourceExt), "noext");
    EXPECT_EQ(ReadField(items[2].sourceName), "100%.wav");
    EXPECT_EQ(ReadField(items[2].sourceType), "WAV");
    // A root folder keeps a single separator.
    EXPECT_EQ(ReadField(MakeMultiFileItems("/", {"a.wav"})[0].sourcePath), "/a.wav");
}

TEST(ItemFactory, DiscAndCaptureItemsHaveNoDestPath) {
    const ConvertItem track = MakeDiscItem("/dev/sr0/Track01.cda", "Track01.cda", "cda");
    EXPECT_EQ(ReadField(track.sourceType), "CDA");
    EXPECT_EQ(ReadField(track.destName), "Track01.cda");
    EXPECT_EQ(ReadField(track.destPath), "");

    const ConvertItem capture = MakeCaptureItem("USB Microphone", 1, 2);
    EXPECT_EQ(ReadField(capture.sourcePath), "");
    EXPECT_EQ(ReadField(capture.sourceExt), "cap");
    EXPECT_EQ(ReadField(capture.sourceType), "CAP");
    EXPECT_EQ(ReadField(capture.destName), "USB Microphone");
    EXPECT_EQ(+capture.captureDevice, 1);
    EXPECT_EQ(+capture.captureInput, 2);
}

TEST(ItemFactory, OverlongNamesAreCutAtTheirField) {
    const std::string name(200, 'n');
    const ConvertItem item = MakeSingleFileItem("/music/" + name + ".wav");
    EXPECT_EQ(ReadField(item.sourceName).size(), 79u);
    EXPECT_EQ(ReadField(item.destName).size(), 79u);
    EXPECT_EQ(ReadField(item.sourceType), "WAV");
}

TEST(ItemFactory, PathsAndNamesLongerThanTheirFieldAreRefusedByText) {
    const std::string folder = "/music/" + std::string(167, 'd') + "/";  // 175 bytes
    const std::string name(79, 'n');
    EXPECT_EQ(FileTooLongText(folder + name), "");  // 254 bytes
    EXPECT_EQ(FileTooLongText("/m/" + name + "x"),
              "This file was not added: its name is longer than 79 bytes.\n/m/" + name + "x");
    EXPECT_EQ(FileTooLongText("d" + folder + name),
              "This file was not added: its path is longer than 254 bytes.\nd" + folder + name);
    // Bytes count, not characters: 40 two-byte characters are 80 bytes.
    std::string accented;
    for (int i = 0; i < 40; ++i) accented += "\xC3\xA9";
    EXPECT_NE(FileTooLongText("/music/" + accented), "");
    EXPECT_NE(FileTooLongText(accented), "");
    EXPECT_EQ(MultiFilePath("/music", "a.wav"), "/music/a.wav");
    EXPECT_EQ(MultiFilePath("/", "a.wav"), "/a.wav");
}

}  // namespace
}  // namespace tessival
