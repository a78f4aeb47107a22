#include "platform/io/ReplacedFileLock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>

#include "support/TempDir.h"

namespace tessival {
namespace {

TEST(ReplacedFileLock, TryAcquireTakesAFreeListAndGivesUpAtOnceOnAHeldOne) {
    test::TempDir dir;
    const std::string list = dir.File("jobs.tsl");
    ASSERT_EQ(::mkfifo(dir.File("fifo.tsl").c_str(), 0600), 0);
    // Another writer's hold: a lock on an open file of its own.
    UniqueFd other(::open(list.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666));
    ASSERT_TRUE(other.Valid());
    ASSERT_EQ(::flock(other.Get(), LOCK_EX), 0);

    ReplacedFileLock lock;
    EXPECT_EQ(lock.TryAcquire(list), EWOULDBLOCK);
    EXPECT_FALSE(lock.Held());
    EXPECT_EQ(lock.TryAcquire(dir.File("fifo.tsl")), EINVAL);
    ASSERT_EQ(::flock(other.Get(), LOCK_UN), 0);
    EXPECT_EQ(lock.TryAcquire(list), 0);
    EXPECT_TRUE(lock.Held());
    EXPECT_EQ(ReplacedFileLock().TryAcquire(list), EWOULDBLOCK);
}

}  // namespace
}  // namespace tessival
