#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "engine/sources/FileNameList.h"
#include "engine/sources/NamedSources.h"
#include "platform/media/MediaFixtures.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using media::test::MakeTone;

TEST(NamedSources, FoldersStandForTheirVisibleMediaFilesAndFilesForThemselves) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.File("Music/Artist/.covers"));
    ASSERT_TRUE(MakeTone(dir.File("Music/Artist/01 - Intro.flac"), 22050, 1, "flac", 0.2));
    ASSERT_TRUE(MakeTone(dir.File("Music/Artist/.covers/hidden.flac"), 22050, 1, "flac", 0.2));
    ASSERT_TRUE(MakeTone(dir.File("Music/.hidden.wav"), 22050, 1, "pcm_s16le", 0.2));
    ASSERT_TRUE(MakeTone(dir.File("single.wav"), 22050, 1, "pcm_s16le", 0.2));
    test::WriteBytes(dir.File("Music/list.tsl"), std::string(1060, '\0'));

    std::vector<FoundSource> found;
    std::string problem;
    ASSERT_TRUE(FindNamedSources({dir.File("Music/"), dir.File("single.wav"), dir.File("Music/list.tsl")},
                                 dir.File("Music/list.tsl"), found, problem))
        << problem;
    EXPECT_EQ(found, (std::vector<FoundSource>{{dir.File("Music/Artist/01 - Intro.flac"), dir.File("Music")},
                                               {dir.File("single.wav"), ""}}));
}

TEST(NamedSources, AMissingPathOrADashRefusesTheWholeSet) {
    test::TempDir dir;
    ASSERT_TRUE(MakeTone(dir.File("a.wav"), 22050, 1, "pcm_s16le", 0.2));
    struct Case {
        std::string named;
        std::string problem;
    };
    const std::vector<Case> cases = {
        {dir.File("gone.flac"), dir.File("gone.flac") + ": No such file or directory"},
        {"-", "'-' is not a file: use --files-from=- to read names from standard input"},
    };
    for (const Case& c : cases) {
        std::vector<FoundSource> found;
        std::string problem;
        EXPECT_FALSE(FindNamedSources({dir.File("a.wav"), c.named}, {}, found, problem)) << c.named;
        EXPECT_EQ(problem, c.problem);
        EXPECT_TRUE(found.empty()) << c.named;
    }
}

TEST(NamedSources, RelativePathsBecomeAbsoluteWithoutDotComponents) {
    const std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(AbsolutePath("a/./b/"), (here == "/" ? "" : here) + "/a/b");
    EXPECT_EQ(AbsolutePath("/x//y/."), "/x/y");
    EXPECT_EQ(AbsolutePath("/x/../y"), "/x/../y");  // behind a link ".." is another folder
    EXPECT_EQ(AbsolutePath(""), "");
}

TEST(NamedSources, NamesAreReadOneALineOrNulSeparated) {
    test::TempDir dir;
    test::WriteBytes(dir.File("lines"), "a.flac\r\n\nb c.flac\n");
    test::WriteBytes(dir.File("nul"), std::string("line\nbreak.flac\0\0d.flac\0", 24));
    std::vector<std::string> lines, nul;
    ASSERT_TRUE(ReadFileNames(dir.File("lines"), '\n', lines));
    ASSERT_TRUE(ReadFileNames(dir.File("nul"), '\0', nul));
    EXPECT_EQ(lines, (std::vector<std::string>{"a.flac", "b c.flac"}));
    EXPECT_EQ(nul, (std::vector<std::string>{"line\nbreak.flac", "d.flac"}));
    std::vector<std::string> none;
    EXPECT_FALSE(ReadFileNames(dir.File("missing"), '\n', none));
}

}  // namespace
}  // namespace tessival
