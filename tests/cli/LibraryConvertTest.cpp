#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "cli/LibraryTree.h"
#include "platform/media/MediaFixtures.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::RunProcess;
using test::ShellQuote;

class LibraryConvert : public ::testing::Test {
protected:
    test::ProcessResult Cli(const std::string& args) {
        return RunProcess("cd " + ShellQuote(dir_.Path()) + " && umask 022 && " + CliPath() + " " + args + " 2>&1");
    }

    test::TempDir dir_;
};

TEST_F(LibraryConvert, MissingDestFoldersAreCreatedAndOneThatCannotBeFailsOnlyItsItem) {
    ASSERT_TRUE(media::test::MakeTone(dir_.File("a.wav"), 44100, 2, "pcm_s16le", 0.5));
    ASSERT_TRUE(media::test::MakeTone(dir_.File("b.wav"), 44100, 2, "pcm_s16le", 0.5));
    test::WriteBytes(dir_.File("plain"), "a file, not a folder");
    ASSERT_EQ(Cli("add l.tsl --dest-type=WAV --dest-path=plain/sub a.wav").exitCode, 0);
    ASSERT_EQ(Cli("add l.tsl --dest-type=WAV --dest-path=new/deeper b.wav").exitCode, 0);

    const auto run = Cli("convert l.tsl --progress=none");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("1: Error: Cannot create the dest folder " + dir_.File("plain/sub") +
                              ": Not a directory\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("2: Complete("), std::string::npos) << run.output;
    EXPECT_EQ(media::test::Probe(dir_.File("new/deeper/b.wav")).at("channels"), "2");
    EXPECT_EQ(test::FileMode(dir_.File("new")), 0755u);
    EXPECT_EQ(test::FileMode(dir_.File("new/deeper")), 0755u);
}

}  // namespace
}  // namespace tessival
