#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

#include "engine/sources/SourceNaming.h"
#include "joblist/ItemFactory.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::RunProcess;
using test::ShellQuote;

// FLAC names are read from its comment blocks, other files through the media layer: both give
// the same fields.
TEST(SourceNaming, FieldsComeFromTheTagsOfEveryContainerAndFromTheTree) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.File("Music/Band/Live"));
    const std::string tags = " -metadata album_artist=Various -metadata artist=Band -metadata album=Live "
                             "-metadata title=Opener -metadata track=3/9 -metadata disc=2 -metadata date=1999-05-01 "
                             "-metadata genre=Rock ";
    // FFmpeg writes "3/9" into FLAC's track number; an ID3 track's total is a field of its own.
    for (const auto& [name, track] : {std::pair{"Music/Band/Live/03 opener.flac", "3/9"},
                                      std::pair{"Music/Band/Live/03 opener.mp3", "3"}}) {
        ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -f lavfi -i sine=duration=0.2" + tags + ShellQuote(dir.File(name)))
                      .exitCode,
                  0);
        const NameFields fields = NameFieldsOf(MakeSingleFileItem(dir.File(name)), dir.File("Music"));
        EXPECT_EQ(fields.albumArtist, "Various") << name;
        EXPECT_EQ(fields.artist, "Band") << name;
        EXPECT_EQ(fields.album, "Live") << name;
        EXPECT_EQ(fields.title, "Opener") << name;
        EXPECT_EQ(fields.track, track) << name;
        EXPECT_EQ(fields.disc, "2") << name;
        EXPECT_EQ(fields.date, "1999-05-01") << name;
        EXPECT_EQ(fields.genre, "Rock") << name;
        EXPECT_EQ(fields.source, "03 opener") << name;
        EXPECT_EQ(fields.dir, "Band/Live") << name;
    }
}

}  // namespace
}  // namespace tessival
