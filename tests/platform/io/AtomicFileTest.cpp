#include "platform/io/AtomicFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>
#include <utility>
#include <vector>

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

// Writers of these paths, each with what it wrote, killed before they commit, as one process of
// their own (so that none of them clears another's temporary file).
struct KilledWrite {
    std::string path, bytes;
    bool written = false;  // all of it written, the commit still to come
};

void KillWritersOf(const std::vector<KilledWrite>& writes) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::vector<AtomicFile> killed(writes.size());
        for (std::size_t i = 0; i < writes.size(); ++i) {
            if (killed[i].Open(writes[i].path) != 0) continue;
            Write(killed[i], writes[i].bytes);
            if (writes[i].written) killed[i].MarkWritten();
        }
        ::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
}

void KillAWriterOf(const std::string& path) { KillWritersOf({{path, "lost"}}); }

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

TEST_F(AtomicFileTest, AnUnlockedTemporaryStaysWhileTheWriterItNamesRunsAndGoesAfterIt) {
    AtomicFile own;
    ASSERT_EQ(own.Open(path), 0);
    EXPECT_EQ(own.TemporaryPath().substr(dir.File("out.wav.part-").size(), 8), [] {
        char pid[9];
        std::snprintf(pid, sizeof pid, "%08x", static_cast<unsigned>(::getpid()));
        return std::string(pid);
    }());
    own.Discard();

    // A writer on a file system without locks: its temporary is not locked, its process lives.
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        ::pause();
        ::_exit(0);
    }
    char name[64];
    std::snprintf(name, sizeof name, "out.wav.part-%08x0badc0de", static_cast<unsigned>(writer));
    WriteBytes(dir.File(name), "unlocked");
    AtomicFile first;
    ASSERT_EQ(first.Open(path), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.File(name))) << "a live writer's temporary was taken";
    first.Discard();

    ::kill(writer, SIGKILL);
    ASSERT_EQ(::waitpid(writer, nullptr, 0), writer);
    ForgetFolderScans();
    AtomicFile next;
    ASSERT_EQ(next.Open(path), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.File(name)));
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

std::uint32_t Le32At(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

TEST_F(AtomicFileTest, AKilledWritersAudioIsKeptAsRecoveredWithItsWaveSizesMadeRight) {
    // A WAVE header as written before any size is known: 16-bit stereo, then 250 frames and half a frame.
    const std::string header("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0"
                             "data\0\0\0\0", 44);
    KillWritersOf({{path, header + std::string(1002, 'a')},
                   {path, header + std::string(8, 'b')},
                   {path, header},  // no audio yet: removed
                   {dir.File("song.mp3"), std::string(5000, 'c')},
                   {dir.File("tiny.mp3"), std::string(100, 'd')},  // a header at most: removed
                   // Whole outputs that waited for their commit: made again by the next writer.
                   {path, header + std::string(1000, 'e'), true},
                   {dir.File("whole.mp3"), std::string(5000, 'f'), true}});
    ASSERT_EQ(FileNames(dir.Path()).size(), 7u);

    for (const std::string name : {"out.wav", "song.mp3", "tiny.mp3", "whole.mp3"}) {
        AtomicFile next;
        ASSERT_EQ(next.Open(dir.File(name)), 0);
    }
    const auto recovered = TakeRecoveredFiles();
    EXPECT_EQ(std::set<std::string>(recovered.begin(), recovered.end()),
              (std::set<std::string>{dir.File("out (recovered).wav"), dir.File("out (recovered 2).wav"),
                                     dir.File("song (recovered).mp3")}));
    EXPECT_EQ(FileNames(dir.Path()),
              (std::set<std::string>{"out (recovered).wav", "out (recovered 2).wav", "song (recovered).mp3"}));
    EXPECT_TRUE(TakeRecoveredFiles().empty());
    for (const std::string name : {"out (recovered).wav", "out (recovered 2).wav"}) {
        const std::string wave = ReadBytes(dir.File(name));
        const std::uint32_t data = wave.size() == 44 + 1002 ? 1000 : 8;
        EXPECT_EQ(Le32At(wave, 40), data) << name;
        EXPECT_EQ(Le32At(wave, 4), 36 + data) << name;
    }
    EXPECT_EQ(ReadBytes(dir.File("song (recovered).mp3")), std::string(5000, 'c'));
}

TEST_F(AtomicFileTest, ALinkAtTheNameIsReplacedNotWrittenThrough) {
    const std::string target = dir.File("private.conf");
    WriteBytes(target, "secret");
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    AtomicFile file;
    ASSERT_EQ(file.Open(path), 0);
    EXPECT_EQ(file.TemporaryPath().rfind(dir.File("out.wav.part-"), 0), 0u) << file.TemporaryPath();
    Write(file, "audio");
    ASSERT_EQ(file.Commit(), 0);
    struct stat info {};
    ASSERT_EQ(::lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(ReadBytes(path), "audio");
    EXPECT_EQ(ReadBytes(target), "secret");
}

TEST_F(AtomicFileTest, AFolderReachedThroughAStrangersLinkInASharedStickyFolderIsRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "planting another user's link takes root";
    const std::string shared = dir.File("shared");
    std::filesystem::create_directories(dir.File("private"));
    std::filesystem::create_directories(shared);
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    const std::string link = shared + "/music";
    ASSERT_EQ(::symlink(dir.File("private").c_str(), link.c_str()), 0);
    constexpr uid_t kNobody = 65534;
    struct Case {
        uid_t linkOwner;
        int opened;
    };
    for (const Case& c : {Case{kNobody, EACCES}, Case{0, 0}}) {
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, c.linkOwner), 0);
        AtomicFile file;
        EXPECT_EQ(file.Open(link + "/out.wav"), c.opened) << c.linkOwner;
        EXPECT_EQ(file.Open(shared + "/../shared/music/out.wav"), c.opened) << c.linkOwner;
        if (c.opened != 0) {
            EXPECT_TRUE(std::filesystem::is_empty(dir.File("private")));
        }
    }
}

TEST_F(AtomicFileTest, LongNamesGetATemporaryNameWithinTheLimit) {
    const std::string longest(255, 'n');
    EXPECT_EQ(TemporaryPrefix(longest), std::string(233, 'n') + ".part-");
    EXPECT_EQ(TemporaryPrefix("song.wav"), "song.wav.part-");
    AtomicFile file;
    ASSERT_EQ(file.Open(dir.File(longest)), 0);
    ASSERT_EQ(file.Commit(), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.File(longest)));
}

}  // namespace
}  // namespace tessival
