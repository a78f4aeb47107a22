#include <gtest/gtest.h>

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
    void AddAndConvert(const std::string& sheet, const std::string& destType, const std::string& quality = "") {
        std::filesystem::remove(list_);
        const auto added = RunProcess(CliPath() + " add " + ShellQuote(list_) + " --dest-type=" + ShellQuote(destType) +
                                      (quality.empty() ? "" : " --quality=" + quality) +
                                      " --dest-path=" + ShellQuote(out_) + " " + ShellQuote(sheet) + " 2>&1");
        ASSERT_EQ(added.exitCode, 0) << added.output;
        const auto run = RunProcess(CliPath() + " convert " + ShellQuote(list_) + " 2>&1");
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
    };
    const std::vector<Row> rows = {
        {"UTF-8", Sheet("", "\xC3\xBC", "\xC3\xA4"), "FLAC", ".flac"},
        {"UTF-8 with a byte-order mark", Sheet("\xEF\xBB\xBF", "\xC3\xBC", "\xC3\xA4"), "Ogg Vorbis", ".ogg"},
        {"Windows-1252", Sheet("", "\xFC", "\xE4"), "LAME MP3", ".mp3"},
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
        // FFmpeg reads an ID3 ISRC back under a name of its own.
        if (std::string(row.extension) != ".mp3") {
            EXPECT_EQ(second.count("isrc") ? second.at("isrc") : "", "DEA837500002");
        }
        const Tags third = ProbedTags(out_ + "/Track 03" + row.extension);
        for (const auto& [key, value] : three) EXPECT_EQ(third.count(key) ? third.at(key) : "(none)", value) << key;
        EXPECT_EQ(third.count("title"), 0u);
    }
}

}  // namespace
}  // namespace tessival
