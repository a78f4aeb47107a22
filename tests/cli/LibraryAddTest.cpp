#include <gtest/gtest.h>

#include <filesystem>

#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "cli/LibraryTree.h"
#include "platform/media/MediaFixtures.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using media::test::MakeTone;
using test::CliPath;
using test::RunProcess;
using test::ShellQuote;

class LibraryAdd : public ::testing::Test {
protected:
    // Runs in the temporary folder, so that relative names are relative to it.
    test::ProcessResult Cli(const std::string& args, const std::string& input = "") {
        return RunProcess("cd " + ShellQuote(dir_.Path()) + " && " + input + CliPath() + " " + args + " 2>&1");
    }
    std::string Show() { return Cli("show lib.tsl").output; }
    std::vector<std::string> Sources() {
        ItemList items;
        EXPECT_EQ(ReadListFile(list_, items), ListFileResult::Ok);
        std::vector<std::string> sources;
        items.ForEach([&](const ConvertItem& item) { sources.push_back(ReadField(item.sourcePath)); });
        return sources;
    }

    test::TempDir dir_;
    std::string list_ = dir_.File("lib.tsl");
};

TEST_F(LibraryAdd, FoldersNamesFromStandardInputAndMissingPaths) {
    std::filesystem::create_directories(dir_.File("Music/B/.cache"));
    std::filesystem::create_directories(dir_.File("Music/A"));
    for (const char* name : {"Music/B/2.flac", "Music/A/1.flac", "Music/B/.cache/x.flac", "loose\nname.flac"})
        ASSERT_TRUE(MakeTone(dir_.File(name), 22050, 1, "flac", 0.2)) << name;

    const auto folder = Cli("add lib.tsl Music");
    ASSERT_EQ(folder.exitCode, 0) << folder.output;
    const auto piped = Cli("add lib.tsl --files-from=- --null", "printf 'loose\\nname.flac\\0' | ");
    ASSERT_EQ(piped.exitCode, 0) << piped.output;
    EXPECT_EQ(Sources(), (std::vector<std::string>{dir_.File("Music/A/1.flac"), dir_.File("Music/B/2.flac"),
                                                   dir_.File("loose\nname.flac")}));

    // Nothing is added when one path is missing, and the reason is one line.
    const std::string before = test::ReadBytes(list_);
    const auto missing = Cli("add lib.tsl Music/A/1.flac Music/C");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.output, "tessival-cli: Music/C: No such file or directory\n");
    EXPECT_EQ(Cli("add lib.tsl -").exitCode, 1);
    EXPECT_EQ(test::ReadBytes(list_), before);
}

TEST_F(LibraryAdd, NamesComeFromTagsAndClashesAreNumberedOrRefused) {
    ASSERT_TRUE(test::MakeTwoAlbums(dir_));
    const auto named = Cli("add lib.tsl --dest-type=FLAC --dest-path=out '--name={albumartist}/{album}/{track:02} - "
                           "{title}' Music");
    ASSERT_EQ(named.exitCode, 0) << named.output;
    const std::string out = dir_.File("out");
    EXPECT_EQ(Show(), "01 - Intro.flac\tFLAC\t01 - Intro.flac\tFLAC\t" + out + "/Artist 1/Album 1\tReady\n" +
                          "02 - Intro.flac\tFLAC\t02 - Second_Part.flac\tFLAC\t" + out + "/Artist 1/Album 1\tReady\n" +
                          "01 - Intro.flac\tFLAC\t01 - Intro.flac\tFLAC\t" + out + "/Artist 2/Album 2\tReady\n" +
                          "02 - Intro.flac\tFLAC\t02 - Second_Part.flac\tFLAC\t" + out + "/Artist 2/Album 2\tReady\n");

    // Flattened, the second album's files take numbers, also against the rows already there.
    std::filesystem::remove(list_);
    ASSERT_EQ(Cli("add lib.tsl --dest-type=FLAC --dest-path=out --name={source} Music/Artist\\ 1").exitCode, 0);
    ASSERT_EQ(Cli("add lib.tsl --dest-type=FLAC --dest-path=out --name={source} Music/Artist\\ 2").exitCode, 0);
    EXPECT_EQ(Show(), "01 - Intro.flac\tFLAC\t01 - Intro.flac\tFLAC\t" + out + "\tReady\n" +
                          "02 - Intro.flac\tFLAC\t02 - Intro.flac\tFLAC\t" + out + "\tReady\n" +
                          "01 - Intro.flac\tFLAC\t01 - Intro (2).flac\tFLAC\t" + out + "\tReady\n" +
                          "02 - Intro.flac\tFLAC\t02 - Intro (2).flac\tFLAC\t" + out + "\tReady\n");
    const std::string before = test::ReadBytes(list_);
    const auto refused = Cli("add lib.tsl --dest-type=FLAC --dest-path=out --name={source} --on-clash=fail "
                             "'Music/Artist 2/Album 2/02 - Intro.flac'");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.output, "tessival-cli: " + dir_.File("Music/Artist 2/Album 2/02 - Intro.flac") +
                                  " would write the same file as row 2: " + out +
                                  "/02 - Intro.flac; nothing was added to 'lib.tsl'\n");
    EXPECT_EQ(test::ReadBytes(list_), before);
    EXPECT_EQ(Cli("add lib.tsl --name={nope} Music").exitCode, 2);
}

}  // namespace
}  // namespace tessival
