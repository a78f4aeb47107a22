#include <gtest/gtest.h>

#include <filesystem>

#include "app/CommandLineItems.h"
#include "app/HelpFilePath.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

TEST(CommandLineItems, FilesBecomeItemsAsFromFileAddsThemAndOtherNamesAreRefused) {
    test::TempDir start;
    std::filesystem::create_directories(start.File("music"));
    test::WriteBytes(start.File("music/Song.Live.mp3"), "x");
    test::WriteBytes(start.File("talk.wma"), "x");
    std::vector<std::string> refused;
    const auto items = CommandLineItems({start.File("talk.wma"), "music/Song.Live.mp3", "music", "gone.wav"},
                                        start.Path(), refused);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_STREQ(items[0].sourcePath, (start.Path() + "/talk.wma").c_str());
    EXPECT_STREQ(items[0].sourceType, "WMA");
    EXPECT_STREQ(items[0].destPath, (start.Path() + "/").c_str());
    // A relative name is taken from the start-up folder; a file alone splits at its last dot.
    EXPECT_STREQ(items[1].sourcePath, (start.Path() + "/music/Song.Live.mp3").c_str());
    EXPECT_STREQ(items[1].sourceName, "Song.Live.mp3");
    EXPECT_STREQ(items[1].destName, "Song.Live");
    EXPECT_STREQ(items[1].sourceType, "MP3");
    EXPECT_STREQ(items[1].destPath, (start.Path() + "/music/").c_str());
    EXPECT_EQ(refused, (std::vector<std::string>{"Not added to the list, not a readable file: music",
                                                 "Not added to the list, not a readable file: gone.wav"}));
}

TEST(CommandLineItems, FilesTooLongForAnItemAreRefusedNotCut) {
    test::TempDir start;
    const std::string longName(90, 'n');
    test::WriteBytes(start.File(longName + ".wav"), "x");
    std::string deep = start.Path();
    while (deep.size() < 256) deep += "/folder-of-some-length";
    std::filesystem::create_directories(deep);
    test::WriteBytes(deep + "/a.wav", "x");
    std::vector<std::string> refused;
    const auto items = CommandLineItems({longName + ".wav", deep + "/a.wav"}, start.Path(), refused);
    EXPECT_TRUE(items.empty());
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0], "This file was not added: its name is longer than 79 bytes.\n" + start.Path() + "/" +
                              longName + ".wav");
    EXPECT_EQ(refused[1], "This file was not added: its path is longer than 254 bytes.\n" + deep + "/a.wav");
}

TEST(HelpFilePath, InstalledPlaceFirstThenBesideTheProgram) {
    test::TempDir prefix;
    std::filesystem::create_directories(prefix.File("bin"));
    const QString bin = QString::fromStdString(prefix.File("bin"));
    const std::string installed = prefix.File("share/tessival/tessival.html");
    // Neither exists: the installed place, so that opening it fails rather than opening another.
    EXPECT_EQ(HelpFilePath(bin).toStdString(), installed);
    test::WriteBytes(prefix.File("bin/tessival.html"), "built");
    EXPECT_EQ(HelpFilePath(bin).toStdString(), prefix.File("bin/tessival.html"));
    std::filesystem::create_directories(prefix.File("share/tessival"));
    test::WriteBytes(installed, "installed");
    EXPECT_EQ(HelpFilePath(bin).toStdString(), installed);
}

}  // namespace
}  // namespace tessival
