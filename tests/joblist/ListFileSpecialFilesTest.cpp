#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "joblist/ListFile.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

// Runs a list file operation on a FIFO; if it blocks, a writer or reader is opened to free it,
// so that the test fails instead of hanging.
template <class Operation>
ListFileResult OnFifo(const std::string& fifo, Operation operation, int unblockFlags) {
    auto result = std::async(std::launch::async, operation);
    if (result.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
        ADD_FAILURE() << "blocked on the FIFO";
        const int fd = ::open(fifo.c_str(), unblockFlags | O_NONBLOCK);
        const ListFileResult got = result.get();
        if (fd >= 0) ::close(fd);
        return got;
    }
    return result.get();
}

TEST(ListFileSpecialFiles, FifosAndDevicesAreRefusedWithoutBlocking) {
    test::TempDir dir;
    const std::string fifo = dir.File("fifo.tsl");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ItemList items;
    EXPECT_EQ(ReadListFile("/dev/zero", items), ListFileResult::NotAFile);
    EXPECT_EQ(OnFifo(fifo, [&] { return ReadListFile(fifo, items); }, O_WRONLY), ListFileResult::NotAFile);

    items.Append(ConvertItem{});
    EXPECT_NE(OnFifo(fifo, [&] { return WriteListFile(fifo, items); }, O_RDONLY), ListFileResult::Ok);
    struct stat info {};
    ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

}  // namespace
}  // namespace tessival
