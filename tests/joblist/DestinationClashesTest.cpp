#include <gtest/gtest.h>

#include <filesystem>

#include "joblist/DestinationClashes.h"
#include "joblist/ItemFactory.h"
#include "joblist/TextField.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

ConvertItem Writing(const std::string& folder, const std::string& name) {
    ConvertItem item;
    WriteField(item.destPath, folder);
    WriteField(item.destName, name);
    return item;
}

TEST(DestinationClashes, LaterItemsWritingAnEarlierItemsFileAreFound) {
    test::TempDir dir;
    const std::string out = dir.Path();
    ItemList items;
    // good.wav and good.mp3 both named "good" by a multiple selection.
    for (ConvertItem item : MakeMultiFileItems(out, {"good.wav", "good.mp3", "other.wav"})) items.Append(item);
    items.Append(*items.At(2));  // the same file listed twice
    items.Append(Writing(out + "/", "good"));
    items.Append(Writing(out, "Good"));  // names differ in case: different files here
    EXPECT_EQ(FindDestinationClashes(items), (std::vector<int>{-1, 0, -1, 2, 0, -1}));
}

TEST(DestinationClashes, FolderSpellingsAndLinksOfOneFolderClash) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.File("out"));
    std::filesystem::create_directory_symlink(dir.File("out"), dir.File("link"));
    ItemList items;
    items.Append(Writing(dir.File("out"), "a.wav"));
    items.Append(Writing(dir.File("out") + "/./", "a.wav"));
    items.Append(Writing(dir.File("out/../out"), "a.wav"));
    items.Append(Writing(dir.File("link"), "a.wav"));
    items.Append(Writing(dir.File("missing"), "a.wav"));
    items.Append(Writing(dir.File("missing/"), "a.wav"));
    EXPECT_EQ(FindDestinationClashes(items), (std::vector<int>{-1, 0, 0, 0, -1, 4}));
}

TEST(DestinationClashes, LinksAndOtherNamesOfOneFileClash) {
    test::TempDir dir;
    test::WriteBytes(dir.File("a.wav"), "RIFF");
    std::filesystem::create_symlink(dir.File("a.wav"), dir.File("soft.wav"));
    std::filesystem::create_hard_link(dir.File("a.wav"), dir.File("hard.wav"));
    ItemList items;
    for (const char* name : {"a.wav", "soft.wav", "hard.wav", "other.wav"}) items.Append(Writing(dir.Path(), name));
    EXPECT_EQ(FindDestinationClashes(items), (std::vector<int>{-1, 0, 0, -1}));
}

TEST(DestinationClashes, NamesCutAtTheirFieldClash) {
    const std::string stem(90, 'x');
    ItemList items;
    items.Append(Writing("/out", stem + "1"));
    items.Append(Writing("/out", stem + "2"));
    EXPECT_EQ(FindDestinationClashes(items), (std::vector<int>{-1, 0}));
}

TEST(SourceWriters, AnItemReadingAnEarlierItemsFileWaitsForTheLastSuchItem) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.File("out"));
    std::filesystem::create_directory_symlink(dir.File("out"), dir.File("link"));
    ItemList items;
    items.Append(MakeSingleFileItem(dir.File("song.flac")));
    WriteField(items.At(0)->destPath, dir.File("out"));
    WriteField(items.At(0)->destName, "song.wav");
    items.Append(MakeSingleFileItem(dir.File("link/song.wav")));  // reads item 1's file through a link
    WriteField(items.At(1)->destName, "song.mp3");
    items.Append(MakeSingleFileItem(dir.File("out/./song.mp3")));  // reads item 2's file
    items.Append(*items.At(0));  // writes song.wav again: later readers wait for this one
    items.Append(MakeSingleFileItem(dir.File("out/song.wav")));
    items.Append(MakeSingleFileItem(dir.File("song.flac")));  // nobody writes the original source
    items.Append(MakeSingleFileItem(dir.File("out/Song.wav")));  // another file: names as they stand
    EXPECT_EQ(FindSourceWriters(items), (std::vector<int>{-1, 0, 1, -1, 3, -1, -1}));
}

}  // namespace
}  // namespace tessival
