#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <set>

#include "cli/LibraryTree.h"
#include "platform/media/MediaFixtures.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::RunProcess;
using test::ShellQuote;

// The samples a file decodes to, as 16-bit PCM of its own rate and channels.
std::string Samples(const std::string& path) {
    return RunProcess("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -f s16le -").output;
}

std::int64_t ModifiedNanoseconds(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return -1;
    return info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

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

TEST_F(LibraryConvert, ATaggedTreeConvertsIntoNamedFoldersAndARepeatedRunConvertsOnlyWhatChanged) {
    ASSERT_TRUE(test::MakeTwoAlbums(dir_));
    const auto added = Cli("add lib.tsl --dest-type=FLAC --dest-path=out "
                           "'--name={albumartist}/{album}/{track:02} - {title}' Music");
    ASSERT_EQ(added.exitCode, 0) << added.output;
    const auto first = Cli("convert lib.tsl --progress=none --jobs=2");
    ASSERT_EQ(first.exitCode, 0) << first.output;

    std::vector<std::pair<std::string, std::string>> outputs;  // source, output
    for (const char* album : {"Artist 1/Album 1", "Artist 2/Album 2"}) {
        const std::string a(album);
        outputs.push_back({dir_.File("Music/" + a + "/01 - Intro.flac"), dir_.File("out/" + a + "/01 - Intro.flac")});
        outputs.push_back({dir_.File("Music/" + a + "/02 - Intro.flac"), dir_.File("out/" + a + "/02 - Second_Part.flac")});
    }
    std::vector<std::int64_t> times;
    for (const auto& [source, output] : outputs) {
        const std::string samples = Samples(output);
        EXPECT_EQ(samples.size(), 44100u * 2 * 2) << output;
        EXPECT_TRUE(samples == Samples(source)) << output;
        times.push_back(ModifiedNanoseconds(output));
    }
    EXPECT_EQ(test::FileNames(dir_.File("out")), (std::set<std::string>{"Artist 1", "Artist 2"}));

    const auto again = Cli("convert lib.tsl --skip-existing --progress=json");
    EXPECT_EQ(again.exitCode, 0) << again.output;
    EXPECT_EQ(Count(again.output, "\"status\":\"Skipped (up to date)\""), 4u) << again.output;
    EXPECT_EQ(Count(again.output, "\"skipped\":true"), 4u) << again.output;
    EXPECT_EQ(Count(again.output, "Init..."), 0u) << again.output;
    for (std::size_t i = 0; i < outputs.size(); ++i) EXPECT_EQ(ModifiedNanoseconds(outputs[i].second), times[i]);

    // A source changed later than its output converts again, and only it.
    ASSERT_EQ(RunProcess("touch -d '+5 seconds' " + ShellQuote(outputs[2].first)).exitCode, 0);
    const auto changed = Cli("convert lib.tsl --skip-existing --progress=none");
    EXPECT_EQ(changed.exitCode, 0) << changed.output;
    EXPECT_EQ(Count(changed.output, "Complete("), 1u) << changed.output;
    EXPECT_NE(changed.output.find("3: Complete("), std::string::npos) << changed.output;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (i == 2)
            EXPECT_NE(ModifiedNanoseconds(outputs[i].second), times[i]);
        else
            EXPECT_EQ(ModifiedNanoseconds(outputs[i].second), times[i]);
    }
}

}  // namespace
}  // namespace tessival
