// Gain tags written into finished files: the other tags and every audio sample stay as they were.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/media/retag/TagEdit.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival::media {
namespace {

using test::RunProcess;
using test::ShellQuote;

std::map<std::string, std::string> Tags(const std::string& path) {
    const auto probed = RunProcess("ffprobe -v error -show_entries format_tags:stream_tags -of default=nw=1 " + ShellQuote(path));
    std::map<std::string, std::string> tags;
    std::istringstream lines(probed.output);
    for (std::string line; std::getline(lines, line);) {
        const auto eq = line.find('=');
        if (line.rfind("TAG:", 0) != 0 || eq == std::string::npos) continue;
        std::string key = line.substr(4, eq - 4);
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        tags[key] = line.substr(eq + 1);
    }
    return tags;
}

// The decoded audio's checksum and whatever the decoder complained of.
std::string DecodedAudio(const std::string& path) {
    return RunProcess("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -map 0:a -f md5 - 2>&1").output;
}

TEST(Retag, ReplacesGainTagsKeepingTheRestOfEachType) {
    test::TempDir dir;
    // Lyrics long enough to take Ogg's comment header over two pages.
    const std::string lyrics(70000, 'l');
    struct Case {
        const char* name;
        const char* options;
        TagContainer container;
    } cases[] = {
        {"a.flac", "-c:a flac", TagContainer::Flac},
        {"a.ogg", "-c:a libvorbis", TagContainer::OggVorbis},
        {"a.opus", "-c:a libopus", TagContainer::OggOpus},
        {"a.mp3", "-c:a libmp3lame", TagContainer::Mp3},
        {"b.mp3", "-c:a libmp3lame -id3v2_version 3", TagContainer::Mp3},
        {"a.m4a", "-c:a aac", TagContainer::M4a},
    };
    TagEdit edit;
    edit.set = {{"REPLAYGAIN_TRACK_GAIN", "-1.25 dB"}, {"REPLAYGAIN_ALBUM_GAIN", "-2.50 dB"}};
    edit.dropPrefixes = {"R128_"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -f lavfi -i sine=d=3 -metadata title=Title -metadata "
                             "replaygain_track_gain='+3.00 dB' -metadata R128_TRACK_GAIN=12 -metadata lyrics=" +
                             lyrics + " " + c.options + " " + ShellQuote(path))
                      .exitCode,
                  0);
        const std::string audio = DecodedAudio(path);
        ASSERT_EQ(ProbeTagContainer(path), c.container);
        ASSERT_EQ(RewriteTags(path, edit), 0);
        auto tags = Tags(path);
        EXPECT_EQ(tags["TITLE"], "Title");
        EXPECT_EQ(tags["LYRICS"].size(), lyrics.size());
        EXPECT_EQ(tags["REPLAYGAIN_TRACK_GAIN"], "-1.25 dB");
        EXPECT_EQ(tags["REPLAYGAIN_ALBUM_GAIN"], "-2.50 dB");
        EXPECT_EQ(tags.count("R128_TRACK_GAIN"), 0u);
        EXPECT_EQ(DecodedAudio(path), audio);
        // Twice over the same file changes nothing more.
        ASSERT_EQ(RewriteTags(path, edit), 0);
        EXPECT_EQ(Tags(path), tags);
    }
    const std::string wav = dir.File("a.wav");
    ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -f lavfi -i sine=d=1 " + ShellQuote(wav)).exitCode, 0);
    EXPECT_EQ(RewriteTags(wav, edit), ENOTSUP);
}

TEST(Retag, RefusesATagItWouldReadOtherwiseThanPlayersDo) {
    using Bytes = std::vector<std::uint8_t>;
    const auto file = [](std::string header) {
        Bytes bytes(header.begin(), header.end());
        bytes.resize(400, 0);
        return bytes;
    };
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        // Players mask the high bit and find the audio 128 bytes earlier than the size taken whole.
        {"an MP3 tag size that is not sync-safe", file(std::string("ID3\x04\0\0\0\0\0\xA8", 10))},
    };
    TagEdit edit;
    edit.set = {{"REPLAYGAIN_TRACK_GAIN", "-1.25 dB"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes out;
        EXPECT_FALSE(RetagMp3(c.file, edit, out));
    }
}

}  // namespace
}  // namespace tessival::media
