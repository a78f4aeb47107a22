#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/media/MediaFixtures.h"
#include "platform/media/MediaTags.h"
#include "platform/media/TagMapping.h"
#include "support/TempDir.h"

namespace tessival::media {
namespace {

using test::RunProcess;
using test::ShellQuote;

class MediaTagsTest : public ::testing::Test {
protected:
    std::string Make(const std::string& name, const std::string& options) {
        const std::string path = dir_.File(name);
        EXPECT_EQ(RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i sine=d=0.5 " + options + " " + ShellQuote(path))
                      .exitCode,
                  0);
        return path;
    }
    std::string Picture(const std::string& name, const char* size) {
        const std::string path = dir_.File(name);
        EXPECT_EQ(RunProcess(std::string("ffmpeg -nostdin -v error -y -f lavfi -i color=c=green:s=") + size +
                             " -frames:v 1 " + ShellQuote(path))
                      .exitCode,
                  0);
        return path;
    }
    tessival::test::TempDir dir_;
};

TEST_F(MediaTagsTest, OggCommentsOnTheStreamAreReadUnderTheGenericKeys) {
    const MediaTags tags = ReadMediaTags(Make("a.ogg", "-c:a libvorbis -metadata TITLE=Song -metadata ALBUMARTIST=Band "
                                         "-metadata TRACKNUMBER=7 -metadata DISCNUMBER=2 -metadata DESCRIPTION=Note"));
    EXPECT_EQ(tags.Get("title"), "Song");
    EXPECT_EQ(tags.Get("album_artist"), "Band");
    EXPECT_EQ(tags.Get("track"), "7");
    EXPECT_EQ(tags.Get("disc"), "2");
    EXPECT_EQ(tags.Get("comment"), "Note");
    EXPECT_EQ(tags.Get("encoder"), "") << "only the music's own keys are carried";
    EXPECT_TRUE(tags.cover.empty());
}

TEST_F(MediaTagsTest, CoverKeepsItsBytesTypeAndSize) {
    const std::string jpeg = Picture("c.jpg", "40x30");
    const MediaTags tags = ReadMediaTags(Make("a.mp3", "-i " + ShellQuote(jpeg) + " -map 0 -map 1 -c:v copy "
                                                      "-disposition:v attached_pic -c:a libmp3lame"));
    EXPECT_EQ(tags.coverMime, "image/jpeg");
    EXPECT_EQ(std::string(tags.cover.begin(), tags.cover.end()), tessival::test::ReadBytes(jpeg));
    EXPECT_EQ(tags.coverWidth, 40);
    EXPECT_EQ(tags.coverHeight, 30);

    const std::string png = Picture("c.png", "18x10");
    const MediaTags flac = ReadMediaTags(
        Make("a.flac", "-i " + ShellQuote(png) + " -map 0 -map 1 -c:v copy -disposition:v attached_pic -c:a flac"));
    EXPECT_EQ(flac.coverMime, "image/png");
    EXPECT_EQ(flac.coverWidth, 18);
    EXPECT_EQ(flac.coverHeight, 10);
}

TEST(TagMapping, EachReadersNameForAFieldGivesItsKeyAndFileDataIsNotCarried) {
    const std::pair<const char*, const char*> names[] = {
        {"ALBUMARTIST", "album_artist"},           {"album artist", "album_artist"},
        {"DESCRIPTION", "comment"},                {"lyrics-eng", "LYRICS"},
        {"UNSYNCEDLYRICS", "LYRICS"},              {"TSRC", "ISRC"},
        {"TBPM", "BPM"},                           {"publisher", "LABEL"},
        {"artist-sort", "ARTISTSORT"},             {"sort_album_artist", "ALBUMARTISTSORT"},
        {"TSO2", "ALBUMARTISTSORT"},               {"replaygain_track_gain", "REPLAYGAIN_TRACK_GAIN"},
        {"MusicBrainz Album Id", "MUSICBRAINZ_ALBUMID"}, {"musicbrainz_trackid", "MUSICBRAINZ_TRACKID"},
        {"TMOO", "MOOD"},                          {"TOTALTRACKS", "TRACKTOTAL"},
        {"Some Own Field", "Some Own Field"},      {"encoder", ""},
        {"iTunSMPB", ""},                          {"WAVEFORMATEXTENSIBLE_CHANNEL_MASK", ""},
        {"METADATA_BLOCK_PICTURE", ""},            {"id3v2_priv.XMP", ""},
    };
    for (const auto& [name, key] : names) EXPECT_EQ(TagKeyFor(name), key) << name;
}

TEST_F(MediaTagsTest, RepeatedOggCommentsStaySeparateValues) {
    const std::string path = Make("m.opus", "-c:a libopus");
    // libavformat's muxer cannot write a name twice; the test writes the comment header itself.
    ASSERT_EQ(RunProcess("/usr/bin/python3 -c \"import sys; from mutagen.oggopus import OggOpus; f = OggOpus(sys.argv[1]); "
                         "f['ARTIST'] = ['Ann', 'Bob']; f['GENRE'] = ['A;B']; f.save()\" " + ShellQuote(path))
                  .exitCode,
              0);
    const MediaTags tags = ReadMediaTags(path);
    EXPECT_EQ(tags.GetAll("artist"), (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(tags.GetAll("genre"), (std::vector<std::string>{"A;B"}));
}

// A container known by its first bytes is opened as that, whatever the file's name says.
TEST_F(MediaTagsTest, ContainersKnownByTheirFirstBytesKeepTheirTags) {
    const std::string wave = Make("w.wav", "-c:a pcm_s16le -metadata title=Song -metadata artist=Band");
    EXPECT_EQ(ReadMediaTags(wave).Get("title"), "Song");
    EXPECT_EQ(ReadMediaTags(wave).Get("artist"), "Band");
    const std::string flac = Make("f.flac", "-metadata title=Other");
    const std::string named = dir_.File("f.mp3");
    ASSERT_EQ(::rename(flac.c_str(), named.c_str()), 0);
    EXPECT_EQ(ReadMediaTags(named).Get("title"), "Other");
}

TEST_F(MediaTagsTest, WhatIsNotARegularMediaFileGivesNothing) {
    const std::string fifo = dir_.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(ReadMediaTags(fifo).Empty());  // would block if it were opened
    EXPECT_TRUE(ReadMediaTags(dir_.Path()).Empty());
    EXPECT_TRUE(ReadMediaTags(dir_.File("missing.mp3")).Empty());
}

}  // namespace
}  // namespace tessival::media
