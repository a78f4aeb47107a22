#include <gtest/gtest.h>

#include "platform/shell/MountTableDriveTypes.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

const char* kMountInfo =
    "22 1 254:1 / / rw,relatime shared:1 - ext4 /dev/vda1 rw\n"
    "30 22 0:25 / /home rw shared:2 - ext4 /dev/vda2 rw\n"
    "41 22 11:0 / /media/cdrom rw shared:3 - iso9660 /dev/sr0 ro\n"
    "42 22 7:0 / /mnt/image ro shared:4 - udf /dev/loop0 ro\n"
    "43 22 11:1 / /media/audio\\040disc ro - fuse.cddafs cddafs ro\n"
    "44 22 0:40 / /media/cdromish rw - ext4 /dev/vdb1 rw\n";

class MountTableDriveTypesTest : public ::testing::Test {
protected:
    MountTableDriveTypesTest() { test::WriteBytes(mountInfo_, kMountInfo); }
    bool IsCdRom(const std::string& path) { return MountTableDriveTypes(mountInfo_).IsCdRom(path); }

    test::TempDir dir_;
    std::string mountInfo_ = dir_.File("mountinfo");
};

TEST_F(MountTableDriveTypesTest, OpticalFileSystemsAndDevicesAreCdRoms) {
    EXPECT_TRUE(IsCdRom("/media/cdrom"));
    EXPECT_TRUE(IsCdRom("/media/cdrom/"));
    EXPECT_TRUE(IsCdRom("/media/cdrom/VIDEO_TS"));
    EXPECT_TRUE(IsCdRom("/mnt/image/dir"));              // udf
    EXPECT_TRUE(IsCdRom("/media/audio disc/Track01"));   // escaped space, device major 11
    EXPECT_TRUE(IsCdRom("/dev/sr0"));
}

TEST_F(MountTableDriveTypesTest, OtherPathsAreNot) {
    EXPECT_FALSE(IsCdRom("/home/user/music"));
    EXPECT_FALSE(IsCdRom("/media/cdromish/x"));  // a prefix of the name is not a parent folder
    EXPECT_FALSE(IsCdRom("/media"));
    EXPECT_FALSE(IsCdRom(""));
    EXPECT_FALSE(IsCdRom("/dev/vda"));
}

TEST(MountTableDriveTypes, MissingMountTableMeansNoCdRom) {
    EXPECT_FALSE(MountTableDriveTypes("/nonexistent/mountinfo").IsCdRom("/media/cdrom"));
}

}  // namespace
}  // namespace tessival
