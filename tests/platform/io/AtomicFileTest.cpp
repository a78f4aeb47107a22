#include "platform/io/AtomicFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>

#include "support/TempDir.h"

namespace tessival {
namespace {

using test::FileMode;
using test::FileNames;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

void Write(const AtomicFile& file, const std::string& bytes) {
    ASSERT_EQ(::write(file.Fd(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

class AtomicFileTest : public ::testing::Test {
protected:
    TempDir dir;
    const std::string path = dir.File("out.wav");
};

TEST_F(AtomicFileTest, TheOlderFileStaysUntilCommitThenIsReplacedKeepingItsMode) {
    WriteBytes(path, "older");
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);

    AtomicFile file;
    ASSERT_EQ(file.Open(path), 0);
    Write(file, "newer");
    EXPECT_EQ(ReadBytes(path), "older");
    EXPECT_EQ(FileNames(dir.Path()).size(), 2u);
    EXPECT_EQ(file.TemporaryPath().rfind(dir.File("out.wav.part-"), 0), 0u) << file.TemporaryPath();

    ASSERT_EQ(file.Commit(), 0);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadBytes(path), "newer");
    EXPECT_EQ(FileMode(path), 0600u);
    EXPECT_EQ(FileNames(dir.Path()), std::set<std::string>{"out.wav"});
}

TEST_F(AtomicFileTest, ANewFileGetsReadWriteForAllLessTheUmask) {
    const mode_t previous = ::umask(027);
    AtomicFile file;
    const int opened = file.Open(dir.File("new.wav"));
    ::umask(previous);
    ASSERT_EQ(opened, 0);
    ASSERT_EQ(file.Commit(), 0);
    EXPECT_EQ(FileMode(dir.File("new.wav")), 0640u);
}

TEST_F(AtomicFileTest, DiscardedOrAbandonedWorkLeavesNothingAndTheOlderFileIntact) {
    WriteBytes(path, "older");
    {
        AtomicFile file;
        ASSERT_EQ(file.Open(path), 0);
        Write(file, "half");
        file.Discard();
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(file.Commit(), EBADF);
        ASSERT_EQ(file.Open(path), 0);
        Write(file, "half again");
    }
    EXPECT_EQ(ReadBytes(path), "older");
    EXPECT_EQ(FileNames(dir.Path()), std::set<std::string>{"out.wav"});
}

TEST_F(AtomicFileTest, CommitNewNeverReplacesAFileAndKeepsTheWorkForAnotherName) {
    WriteBytes(path, "older");
    AtomicFile file;
    ASSERT_EQ(file.Open(path), 0);
    Write(file, "partial");
    EXPECT_EQ(file.CommitNew(path), EEXIST);
    EXPECT_TRUE(file.IsOpen());
    ASSERT_EQ(file.CommitNew(dir.File("out (stopped).wav")), 0);
    EXPECT_EQ(ReadBytes(path), "older");
    EXPECT_EQ(ReadBytes(dir.File("out (stopped).wav")), "partial");
    EXPECT_EQ(FileNames(dir.Path()), (std::set<std::string>{"out.wav", "out (stopped).wav"}));
}

TEST_F(AtomicFileTest, FailuresAreReportedAndLeaveNoTemporaryFile) {
    AtomicFile file;
    EXPECT_EQ(file.Open(dir.File("missing/out.wav")), ENOENT);
    EXPECT_EQ(file.Open(dir.Path() + "/"), EISDIR);

    // A folder of the destination's name cannot be replaced by a file.
    const std::string folder = dir.File("taken");
    std::filesystem::create_directories(folder + "/inside");
    ASSERT_EQ(file.Open(folder), 0);
    Write(file, "data");
    EXPECT_EQ(file.Commit(), EISDIR);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(FileNames(dir.Path()), std::set<std::string>{"taken"});
}

// A writer of `path` killed before it commits, as a process of its own.
void KillAWriterOf(const std::string& path) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        AtomicFile killed;
        if (killed.Open(path) == 0) Write(killed, "lost");
        ::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
}

TEST_F(AtomicFileTest, TemporariesOfAKilledWriterGoAtTheNextOpenThoseOfLiveWritersStay) {
    KillAWriterOf(path);
    ASSERT_EQ(FileNames(dir.Path()).size(), 1u) << "the killed writer should have left its temporary file";
    const std::string stale = *FileNames(dir.Path()).begin();
    // Names that only look alike belong to others.
    for (const char* other : {"out.wav.part-notes", "out.wav.part-0123456789", "other.wav.part-0badc0de"})
        WriteBytes(dir.File(other), "keep");

    AtomicFile live;
    ASSERT_EQ(live.Open(path), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File(stale)));
    AtomicFile next;
    ASSERT_EQ(next.Open(path), 0);
    EXPECT_TRUE(std::filesystem::exists(live.TemporaryPath())) << "a live writer's file was taken";
    EXPECT_EQ(FileNames(dir.Path()).size(), 5u);
    ASSERT_EQ(next.Commit(), 0);
    EXPECT_EQ(live.Commit(), 0);
}

TEST_F(AtomicFileTest, ARunRemovesTemporariesOfWritersKilledAfterTheFolderWasLastRead) {
    AtomicFile first;
    ASSERT_EQ(first.Open(path), 0);
    ASSERT_EQ(first.Commit(), 0);
    KillAWriterOf(path);
    KillAWriterOf(dir.File("other.wav"));
    ASSERT_EQ(FileNames(dir.Path()).size(), 3u);

    ForgetFolderScans();
    AtomicFile next;
    ASSERT_EQ(next.Open(path), 0);
    EXPECT_EQ(FileNames(dir.Path()).size(), 3u) << "only this name's temporary goes";
    ASSERT_EQ(next.Commit(), 0);
    AtomicFile other;
    ASSERT_EQ(other.Open(dir.File("other.wav")), 0);
    ASSERT_EQ(other.Commit(), 0);
    EXPECT_EQ(FileNames(dir.Path()), (std::set<std::string>{"out.wav", "other.wav"}));
}

TEST_F(AtomicFileTest, LongNamesGetATemporaryNameWithinTheLimit) {
    const std::string longest(255, 'n');
    EXPECT_EQ(TemporaryPrefix(longest), std::string(241, 'n') + ".part-");
    EXPECT_EQ(TemporaryPrefix("song.wav"), "song.wav.part-");
    AtomicFile file;
    ASSERT_EQ(file.Open(dir.File(longest)), 0);
    ASSERT_EQ(file.Commit(), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.File(longest)));
}

}  // namespace
}  // namespace tessival
