#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "joblist/ItemTypes.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

ConvertItem Sample(const std::string& name) {
    ConvertItem item;
    WriteField(item.sourceName, name);
    WriteField(item.sourceExt, "mp3");
    DetectSourceType(item);
    return item;
}

TEST(ListFile, ThreeItemsRoundTripInOrderWithTheirStatus) {
    TempDir dir;
    ItemList list;
    list.Append(Sample("one.mp3"));
    list.Append(Sample("two.mp3"));
    WriteField(list.At(1)->status, "Error: something failed");
    list.Append(Sample("three.mp3"));
    const std::string path = dir.File("list.tsl");
    ASSERT_EQ(WriteListFile(path, list), ListFileResult::Ok);
    EXPECT_EQ(ReadBytes(path).size(), 3180u);

    ItemList loaded;
    ASSERT_EQ(ReadListFile(path, loaded), ListFileResult::Ok);
    ASSERT_EQ(loaded.Count(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(std::memcmp(loaded.At(i), list.At(i), sizeof(ConvertItem)), 0) << "record " << i;
}

// 2500 items, song0.mp3 to song2499.mp3: more than two reads' worth.
bool WriteLongList(const std::string& path) {
    ItemList list;
    for (int i = 0; i < 2500; ++i) list.Append(Sample("song" + std::to_string(i) + ".mp3"));
    return WriteListFile(path, list) == ListFileResult::Ok;
}

// Long lists load in large reads; no record may be lost or shifted at the edges of a read.
TEST(ListFile, AListLongerThanOneReadLoadsEveryRecordInPlace) {
    TempDir dir;
    const std::string path = dir.File("long.tsl");
    ASSERT_TRUE(WriteLongList(path));
    ItemList loaded;
    ASSERT_EQ(ReadListFile(path, loaded), ListFileResult::Ok);
    ASSERT_EQ(loaded.Count(), 2500u);
    EXPECT_EQ(ReadField(loaded.At(0)->sourceName), "song0.mp3");
    EXPECT_EQ(ReadField(loaded.At(1023)->sourceName), "song1023.mp3");
    EXPECT_EQ(ReadField(loaded.At(1024)->sourceName), "song1024.mp3");
    EXPECT_EQ(ReadField(loaded.At(2048)->sourceName), "song2048.mp3");
    EXPECT_EQ(ReadField(loaded.At(2499)->sourceName), "song2499.mp3");
}

// Visiting hands the records over in batches of at most 1024, in order, with the trailing bytes.
TEST(ListFile, VisitingGivesEveryRecordInBatchesInOrder) {
    TempDir dir;
    const std::string path = dir.File("long.tsl");
    ASSERT_TRUE(WriteLongList(path));
    WriteBytes(path, ReadBytes(path) + "tail");
    std::vector<std::size_t> sizes;
    std::vector<std::string> names;
    std::size_t trailing = 0;
    ASSERT_EQ(VisitListFile(
                  path,
                  [&](std::span<const ConvertItem> batch) {
                      sizes.push_back(batch.size());
                      for (const ConvertItem& item : batch) names.push_back(ReadField(item.sourceName));
                  },
                  &trailing),
              ListFileResult::Ok);
    EXPECT_EQ(sizes, (std::vector<std::size_t>{1024, 1024, 452}));
    ASSERT_EQ(names.size(), 2500u);
    EXPECT_EQ(names[1023], "song1023.mp3");
    EXPECT_EQ(names[1024], "song1024.mp3");
    EXPECT_EQ(names[2499], "song2499.mp3");
    EXPECT_EQ(trailing, 4u);
    EXPECT_EQ(VisitListFile(dir.File("missing.tsl"), [](std::span<const ConvertItem>) { FAIL(); }),
              ListFileResult::CannotOpen);
}

TEST(ListFile, EmptyListGivesEmptyFileAndBack) {
    TempDir dir;
    const std::string path = dir.File("empty.tsl");
    ASSERT_EQ(WriteListFile(path, ItemList()), ListFileResult::Ok);
    EXPECT_EQ(ReadBytes(path).size(), 0u);
    ItemList loaded;
    loaded.Append(Sample("old.mp3"));
    ASSERT_EQ(ReadListFile(path, loaded), ListFileResult::Ok);
    EXPECT_TRUE(loaded.Empty());
}

TEST(ListFile, TrailingPartialRecordIsIgnored) {
    TempDir dir;
    const std::string path = dir.File("odd.tsl");
    WriteBytes(path, std::string(2121, '\0'));
    ItemList loaded;
    std::size_t trailing = 99;
    ASSERT_EQ(ReadListFile(path, loaded, &trailing), ListFileResult::Ok);
    EXPECT_EQ(loaded.Count(), 2u);
    EXPECT_EQ(trailing, 1u);
    WriteBytes(path, std::string(1059, 'x'));
    ASSERT_EQ(ReadListFile(path, loaded, &trailing), ListFileResult::Ok);
    EXPECT_EQ(loaded.Count(), 0u);
    EXPECT_EQ(trailing, 1059u);
    WriteBytes(path, std::string(1060, '\0'));
    ASSERT_EQ(ReadListFile(path, loaded, &trailing), ListFileResult::Ok);
    EXPECT_EQ(trailing, 0u);
}

TEST(ListFile, EveryByteOfARecordSurvivesLoadAndSave) {
    TempDir dir;
    std::string record(1060, '\0');
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<char>(i * 7 + 1);
    const std::string in = dir.File("in.tsl");
    const std::string out = dir.File("out.tsl");
    WriteBytes(in, record + record);
    ItemList loaded;
    ASSERT_EQ(ReadListFile(in, loaded), ListFileResult::Ok);
    ASSERT_EQ(WriteListFile(out, loaded), ListFileResult::Ok);
    EXPECT_EQ(ReadBytes(out), record + record);
}

TEST(ListFile, UnreadableFileIsReportedAndLeavesTheListEmpty) {
    TempDir dir;
    ItemList loaded;
    loaded.Append(Sample("old.mp3"));
    EXPECT_EQ(ReadListFile(dir.File("missing.tsl"), loaded), ListFileResult::CannotOpen);
    EXPECT_TRUE(loaded.Empty());
    loaded.Append(Sample("old.mp3"));
    EXPECT_EQ(ReadListFile(dir.Path(), loaded), ListFileResult::NotAFile);  // a folder
    EXPECT_TRUE(loaded.Empty());
}

TEST(ListFile, FailedSaveLeavesTheOlderFileIntact) {
    TempDir dir;
    const std::string path = dir.File("keep.tsl");
    WriteBytes(path, "older list");
    ItemList list;
    list.Append(Sample("a.mp3"));
    EXPECT_EQ(WriteListFile(dir.File("no-such-folder/x.tsl"), list), ListFileResult::CannotOpen);
    // /dev/full accepts the open and fails every write.
    if (::access("/dev/full", W_OK) == 0) {
        EXPECT_EQ(WriteListFile("/dev/full", list), ListFileResult::IoError);
    }
    EXPECT_EQ(ReadBytes(path), "older list");
}

TEST(ListFile, SaveReplacesAnExistingFileAndKeepsItsMode) {
    TempDir dir;
    const std::string path = dir.File("list.tsl");
    WriteBytes(path, std::string(5000, 'z'));
    ::chmod(path.c_str(), 0640);
    ItemList list;
    list.Append(Sample("a.mp3"));
    ASSERT_EQ(WriteListFile(path, list), ListFileResult::Ok);
    EXPECT_EQ(ReadBytes(path).size(), 1060u);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(ListFile, ListExtensionIsAddedOnlyWithoutAnyDot) {
    EXPECT_EQ(WithListExtension("/home/u/list"), "/home/u/list.tsl");
    EXPECT_EQ(WithListExtension("/home/u/list.txt"), "/home/u/list.txt");
    EXPECT_EQ(WithListExtension("/home/u/my.lists/list"), "/home/u/my.lists/list");
    EXPECT_EQ(WithListExtension(".hidden"), ".hidden.tsl");
}

}  // namespace
}  // namespace tessival

namespace tessival {
namespace {

TEST(ListFile, SavingThroughALinkKeepsTheLinkAndReplacesItsTarget) {
    test::TempDir dir;
    const std::string target = dir.File("real.tsl");
    const std::string link = dir.File("link.tsl");
    test::WriteBytes(target, "old");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    ItemList list;
    list.Append(ConvertItem());
    ASSERT_EQ(WriteListFile(link, list), ListFileResult::Ok);
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(test::ReadBytes(target).size(), 1060u);
}

}  // namespace
}  // namespace tessival
