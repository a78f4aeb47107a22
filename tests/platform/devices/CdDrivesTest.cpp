#include <gtest/gtest.h>

#include <fstream>

#include "platform/devices/CdDrives.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

TEST(CdDrives, ListedDrivesSayWhetherTheyHoldADiscAndWhereItIsMounted) {
    test::TempDir dir;
    const std::string image = dir.File("disc.cue");
    std::ofstream(image) << "FILE \"disc.bin\" BINARY\n";
    const std::string mounts = dir.File("mounts");
    std::ofstream(mounts) << "/dev/sda1 / ext4 rw 0 0\n"
                          << image << " /media/user/VIDEO\\040CD iso9660 ro 0 0\n";

    const auto drives = ListedCdDrives({image, dir.File("gone.cue"), "/dev/null"}, mounts);
    const auto list = drives->List();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].device, image);
    EXPECT_TRUE(list[0].hasDisc);
    EXPECT_EQ(list[0].mountPoint, "/media/user/VIDEO CD");
    EXPECT_FALSE(list[1].hasDisc);
    EXPECT_EQ(list[1].mountPoint, "");
    EXPECT_FALSE(list[2].hasDisc);  // a device node that is no drive

    OpticalDrive found;
    EXPECT_TRUE(drives->Find("/media/user/VIDEO CD", found));
    EXPECT_EQ(found.device, image);
    EXPECT_TRUE(drives->Find("/dev/null", found));
    EXPECT_FALSE(drives->Find("/media/user", found));
}

}  // namespace
}  // namespace tessival
