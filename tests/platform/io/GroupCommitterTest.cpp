#include "platform/io/GroupCommitter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace tessival {
namespace {

using test::FileMode;
using test::FileNames;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

AtomicFile Written(const std::string& path, const std::string& bytes) {
    AtomicFile file;
    EXPECT_EQ(file.Open(path), 0) << path;
    EXPECT_EQ(::write(file.Fd(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    return file;
}

// Files of two folders committed together: each reaches its own name whole, a replaced file's
// mode stays, and one that cannot take its name fails alone, leaving nothing behind.
TEST(GroupCommitterTest, CommitsEachFileOfABatchOrFailsItAlone) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("a"));
    std::filesystem::create_directory(dir.File("b"));
    std::filesystem::create_directory(dir.File("b/taken.wav"));  // a folder where a file should go
    WriteBytes(dir.File("a/older.wav"), "older");
    ASSERT_EQ(::chmod(dir.File("a/older.wav").c_str(), 0600), 0);

    const std::map<std::string, std::string> files = {
        {"a/older.wav", "replaced"}, {"a/1.wav", "one"}, {"b/2.wav", "two"}, {"b/taken.wav", "nowhere"}};
    std::map<std::string, std::shared_ptr<PendingCommit>> pending;
    std::atomic<int> reported{0};
    {
        GroupCommitter committer;
        for (const auto& [name, bytes] : files) {
            pending[name] = committer.Submit(Written(dir.File(name), bytes));
            pending[name]->WhenDone([&reported](int) { ++reported; });
        }
    }  // the committer ends only after committing everything submitted

    EXPECT_EQ(reported, 4);
    EXPECT_EQ(pending["a/older.wav"]->Wait(), 0);
    EXPECT_EQ(pending["a/1.wav"]->Wait(), 0);
    EXPECT_EQ(pending["b/2.wav"]->Wait(), 0);
    EXPECT_EQ(pending["b/taken.wav"]->Wait(), EISDIR);
    EXPECT_EQ(ReadBytes(dir.File("a/older.wav")), "replaced");
    EXPECT_EQ(FileMode(dir.File("a/older.wav")), 0600u);
    EXPECT_EQ(ReadBytes(dir.File("a/1.wav")), "one");
    EXPECT_EQ(ReadBytes(dir.File("b/2.wav")), "two");
    EXPECT_EQ(FileNames(dir.File("a")), (std::set<std::string>{"1.wav", "older.wav"}));
    EXPECT_EQ(FileNames(dir.File("b")), (std::set<std::string>{"2.wav", "taken.wav"}));
}

// More files than one batch or the queue holds: the submitters are held back, never lose a file.
TEST(GroupCommitterTest, MoreFilesThanTheQueueHoldsAllArrive) {
    TempDir dir;
    const int count = static_cast<int>(GroupCommitter::kMaxWaiting) * 2 + 1;
    std::vector<std::shared_ptr<PendingCommit>> pending;
    GroupCommitter committer;
    for (int i = 0; i < count; ++i)
        pending.push_back(committer.Submit(Written(dir.File(std::to_string(i)), std::to_string(i))));
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(pending[static_cast<std::size_t>(i)]->Wait(), 0);
        ASSERT_EQ(ReadBytes(dir.File(std::to_string(i))), std::to_string(i));
    }
    EXPECT_EQ(FileNames(dir.Path()).size(), static_cast<std::size_t>(count));
}

// A file waits for others to share its syncs only while nobody needs it: a wait for it, or a
// request to commit what is queued, ends the gathering, however long that would have lasted.
TEST(GroupCommitterTest, GatheringEndsWhenSomebodyWaits) {
    using namespace std::chrono_literals;
    TempDir dir;
    auto committer = std::make_shared<GroupCommitter>(std::chrono::hours(1));
    const auto settles = [](const std::shared_ptr<PendingCommit>& pending) {
        auto done = std::make_shared<std::promise<int>>();
        pending->WhenDone([done](int error) { done->set_value(error); });
        return done->get_future();
    };

    std::future<int> asked = settles(committer->Submit(Written(dir.File("asked.wav"), "asked")));
    EXPECT_EQ(asked.wait_for(200ms), std::future_status::timeout);  // gathering
    committer->CommitQueuedNow();
    ASSERT_EQ(asked.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(asked.get(), 0);

    const auto waited = committer->Submit(Written(dir.File("waited.wav"), "waited"));
    auto wait = std::async(std::launch::async, [waited] { return waited->Wait(); });
    const bool prompt = wait.wait_for(10s) == std::future_status::ready;
    committer.reset();  // commits what is left, so that a wait that hung ends too
    EXPECT_TRUE(prompt);
    EXPECT_EQ(wait.get(), 0);
    EXPECT_EQ(ReadBytes(dir.File("waited.wav")), "waited");
}

}  // namespace
}  // namespace tessival
