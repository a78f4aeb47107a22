#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/shell/DiscSearch.h"
#include "support/DiscImage.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

std::vector<std::string> Names(const std::vector<DiscEntry>& entries) {
    std::vector<std::string> names;
    for (const DiscEntry& entry : entries) names.push_back(entry.name);
    return names;
}

TEST(DiscSearch, AnAudioDiscListsItsAudioTracksAsCdaFiles) {
    test::TempDir dir;
    const test::DiscImageFile image(dir.Path(), {80, 95});
    const auto drives = ListedCdDrives({image.Cue()}, dir.File("no-mounts"));
    EXPECT_EQ(CdRomDriveNames(*drives), std::vector<std::string>{image.Cue()});

    const auto tracks = FindDiscFiles(*drives, image.Cue(), "*.cda");
    EXPECT_EQ(Names(tracks), (std::vector<std::string>{"Track02.cda", "Track03.cda"}));
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[1].fullPath, image.Cue() + "/Track03.cda");
    EXPECT_TRUE(FindDiscFiles(*drives, image.Cue() + "/mpegav", "*.dat").empty());
}

TEST(DiscSearch, MountedVideoDiscsListTheirFilesWhateverTheCase) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.File("vcd/MPEGAV"));
    for (const char* name : {"AVSEQ02.DAT", "avseq01.dat", "README.TXT"}) std::ofstream(dir.File("vcd/MPEGAV/") + name);
    std::filesystem::create_directories(dir.File("vcd/MPEGAV/SUB.DAT"));  // a folder is no file
    const auto drives = ListedCdDrives({}, dir.File("no-mounts"));

    const auto found = FindDiscFiles(*drives, dir.File("vcd/mpegav"), "*.dat");
    EXPECT_EQ(Names(found), (std::vector<std::string>{"avseq01.dat", "AVSEQ02.DAT"}));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].fullPath, dir.File("vcd/MPEGAV/avseq01.dat"));
    EXPECT_TRUE(FindDiscFiles(*drives, dir.File("vcd/VIDEO_TS"), "*.vob").empty());
    EXPECT_TRUE(FindDiscFiles(*drives, dir.File("vcd"), "*.cda").empty());
}

}  // namespace
}  // namespace tessival
