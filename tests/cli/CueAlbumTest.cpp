#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "support/ProbedTags.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::ProbedTags;
using test::RunProcess;
using test::ShellQuote;

class CueAlbum : public ::testing::Test {
protected:
    CueAlbum() { std::filesystem::create_directory(out_); }

    // Adds the sheet's tracks for `destType` (its default quality unless given) and converts them.
    void AddAndConvert(const std::string& sheet, const std::string& destType, const std::string& quality = "",
                       const std::string& convertOptions = "") {
        std::filesystem::remove(list_);
        const auto added = RunProcess(CliPath() + " add " + ShellQuote(list_) + " --dest-type=" + ShellQuote(destType) +
                                      (quality.empty() ? "" : " --quality=" + quality) +
                                      " --dest-path=" + ShellQuote(out_) + " " + ShellQuote(sheet) + " 2>&1");
        ASSERT_EQ(added.exitCode, 0) << added.output;
        const auto run = RunProcess(CliPath() + " convert " + convertOptions + ShellQuote(list_) + " 2>&1");
        ASSERT_EQ(run.exitCode, 0) << run.output;
    }
    static void Make(const std::string& command) { ASSERT_EQ(RunProcess(command).exitCode, 0) << command; }

    test::TempDir dir_;
    std::string out_ = dir_.File("out");
    std::string list_ = dir_.File("album.tsl");
};

// The sheet's text, with its two accented letters in the encoding the row chooses.
std::string Sheet(const std::string& bom, const std::string& ue, const std::string& ae) {
    return bom + "REM GENRE \"Krautrock\"\nREM DATE 1975\nPERFORMER \"Die B" + ae + "nd\"\nTITLE \"Gr" + ue +
           "n\"\nFILE \"album.flac\" WAVE\n  TRACK 01 AUDIO\n    TITLE \"Eins\"\n    INDEX 01 00:00:00\n"
           "  TRACK 02 AUDIO\n    TITLE \"Zwei M" + ue + "de\"\n    PERFORMER \"Gast\"\n    SONGWRITER \"Schreiber\"\n"
           "    ISRC DEA837500002\n    INDEX 00 00:01:00\n    INDEX 01 00:01:10\n"
           "  TRACK 03 AUDIO\n    INDEX 01 00:02:00\n";
}

// Each track carries what the sheet says of it and of the album, its number out of the album's
// last, and the album file's own tags where the sheet says nothing; the sheet reads right in
// UTF-8 with or without a byte-order mark and in Windows-1252.
TEST_F(CueAlbum, TracksCarryTheSheetsTagsOverTheAlbumFilesOwn) {
    Make("ffmpeg -nostdin -v error -f lavfi -i 'sine=frequency=440:duration=3' -ac 2 -ar 44100 -metadata "
         "title='Whole File' -metadata album='File Album' -metadata date=1999 -metadata comment='from the file' "
         "-metadata disc=2 -c:a flac " + ShellQuote(dir_.File("album.flac")));
    struct Row {
        const char* name;
        std::string sheet;
        const char* destType;
        const char* extension;
        const char* isrcKey;  // FFmpeg reads ID3's ISRC frame back under its own name
    };
    const std::vector<Row> rows = {
        {"UTF-8", Sheet("", "\xC3\xBC", "\xC3\xA4"), "FLAC", ".flac", "isrc"},
        {"UTF-8 with a byte-order mark", Sheet("\xEF\xBB\xBF", "\xC3\xBC", "\xC3\xA4"), "Ogg Vorbis", ".ogg", "isrc"},
        {"Windows-1252", Sheet("", "\xFC", "\xE4"), "LAME MP3", ".mp3", "tsrc"},
    };
    using Tags = std::map<std::string, std::string>;
    const Tags two = {{"title", "Zwei M\xC3\xBC" "de"}, {"artist", "Gast"}, {"album", "Gr\xC3\xBCn"},
                      {"album_artist", "Die B\xC3\xA4nd"}, {"track", "2/3"}, {"date", "1975"},
                      {"genre", "Krautrock"}, {"composer", "Schreiber"}, {"comment", "from the file"}, {"disc", "2"}};
    // No title of its own, and the file's says nothing of one track of it.
    const Tags three = {{"artist", "Die B\xC3\xA4nd"}, {"album", "Gr\xC3\xBCn"}, {"track", "3/3"}, {"disc", "2"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::WriteBytes(dir_.File("album.cue"), row.sheet);
        AddAndConvert(dir_.File("album.cue"), row.destType);
        const Tags second = ProbedTags(out_ + "/02 - Zwei M\xC3\xBC" "de" + row.extension);
        for (const auto& [key, value] : two) EXPECT_EQ(second.count(key) ? second.at(key) : "(none)", value) << key;
        EXPECT_EQ(second.count(row.isrcKey) ? second.at(row.isrcKey) : "", "DEA837500002");
        const Tags third = ProbedTags(out_ + "/Track 03" + row.extension);
        for (const auto& [key, value] : three) EXPECT_EQ(third.count(key) ? third.at(key) : "(none)", value) << key;
        EXPECT_EQ(third.count("title"), 0u);
    }
}

std::vector<std::int16_t> Decoded(const std::string& path) {
    const std::string bytes = RunProcess("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -f s16le -ac 2 -").output;
    std::vector<std::int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// A track of a lossy album starts with exactly the samples a decode of the whole file has at the
// track's position: the decoder runs in from before it, whatever the codec's overlap, reservoir
// or delay. The one rounding to 16 bits may differ from FFmpeg's own by a step; a track one
// sample off differs by thousands, the noise sees to that. The last track ends where the file
// says it does, not with the codec's last whole frame.
TEST_F(CueAlbum, LossyAlbumTracksStartWithTheWholeFilesSamplesAtTheirPosition) {
    struct Row {
        const char* extension;
        const char* codec;
        int rate;
        const char* quality;
        std::size_t lastTrackFrames;
    };
    const Row rows[] = {
        {".mp3", "libmp3lame -b:a 128k", 44100, "2,1411,16,44100", 66444},
        {".ogg", "libvorbis", 44100, "2,1411,16,44100", 66444},
        {".opus", "libopus", 48000, "2,1536,16,48000", 72320},
        {".m4a", "aac", 44100, "2,1411,16,44100", 66444},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.extension);
        const std::string album = dir_.File(std::string("album") + row.extension);
        Make("ffmpeg -nostdin -v error -y -f lavfi -i 'anoisesrc=amplitude=0.3:duration=4:seed=7' -f lavfi -i "
             "'sine=frequency=330:duration=4' -filter_complex amix=inputs=2 -ac 2 -ar " + std::to_string(row.rate) +
             " -c:a " + row.codec + " " + ShellQuote(album));
        // The second track starts at an odd frame, inside a packet of every codec.
        test::WriteBytes(dir_.File("album.cue"), std::string("FILE \"album") + row.extension +
                                                     "\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                                     "  TRACK 02 AUDIO\n    INDEX 01 00:02:37\n");
        AddAndConvert(dir_.File("album.cue"), "WAV (PCM)", row.quality, "--dither=none ");
        const std::vector<std::int16_t> whole = Decoded(album), track = Decoded(out_ + "/Track 02.wav");
        const std::size_t first = 2 * static_cast<std::size_t>((2 * 75 + 37) * row.rate / 75), count = 2 * 4096;
        ASSERT_GE(whole.size(), first + count);
        ASSERT_GE(track.size(), count);
        int worst = 0;
        for (std::size_t i = 0; i < count; ++i) worst = std::max(worst, std::abs(whole[first + i] - track[i]));
        EXPECT_LE(worst, 1);
        EXPECT_EQ(track.size() / 2, row.lastTrackFrames);
    }
}

// A rip of one file a track, a WAVE and a FLAC file with its pregap at its start: each track
// converts to exactly its file's samples.
TEST_F(CueAlbum, OneFileATrackRipsConvertEachFileWhole) {
    Make("ffmpeg -nostdin -v error -f lavfi -i 'anoisesrc=duration=1.3:seed=1' -ac 2 -ar 44100 -c:a pcm_s16le " +
         ShellQuote(dir_.File("01.wav")));
    Make("ffmpeg -nostdin -v error -f lavfi -i 'anoisesrc=duration=2.1:seed=2' -ac 2 -ar 44100 -sample_fmt s16 -c:a flac " +
         ShellQuote(dir_.File("02.flac")));
    test::WriteBytes(dir_.File("rip.cue"), "FILE \"01.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                           "FILE \"02.flac\" WAVE\n  TRACK 02 AUDIO\n    INDEX 00 00:00:00\n"
                                           "    INDEX 01 00:00:40\n");
    AddAndConvert(dir_.File("rip.cue"), "WAV (PCM)", "2,1411,16,44100");
    EXPECT_TRUE(Decoded(out_ + "/Track 01.wav") == Decoded(dir_.File("01.wav")));
    EXPECT_TRUE(Decoded(out_ + "/Track 02.wav") == Decoded(dir_.File("02.flac")));
    EXPECT_EQ(Decoded(out_ + "/Track 02.wav").size(), 2u * 44100 * 21 / 10);
}

}  // namespace
}  // namespace tessival
