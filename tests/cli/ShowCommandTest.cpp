#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>

#include "joblist/ConvertItem.h"
#include "joblist/ListFile.h"
#include "platform/media/MediaFixtures.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::RunProcess;
using test::ShellQuote;

test::ProcessResult Cli(const std::string& arguments) { return RunProcess(CliPath() + " " + arguments); }

// Builds a record byte by byte, as another program would write it.
std::string Record(const std::map<std::size_t, std::string>& fields) {
    std::string record(1060, '\0');
    for (const auto& [offset, text] : fields) record.replace(offset, text.size(), text);
    return record;
}

TEST(CliShow, ForeignListWithOddRecordsShowsThreeRowsAndSavesBackUnchanged) {
    test::TempDir dir;
    // 1: no NUL anywhere in its text fields.
    std::string noNul = Record({{0, std::string(255, 'p')},
                                {255, std::string(80, 'n')},
                                {335, std::string(10, 'e')},
                                {345, std::string(10, 'T')},
                                {364, std::string(255, 'd')},
                                {619, std::string(80, 'D')},
                                {699, std::string(80, 'Y')},
                                {804, std::string(256, 'S')}});
    // 2: non-zero reserved bytes.
    std::string reserved = Record({{255, "b.wav"}, {345, "WAV"}, {619, "b"}, {699, "WAV"},
                                   {364, "/tmp/"}, {804, "Ready"}});
    reserved[355] = '\x5A';
    for (int i = 797; i < 804; ++i) reserved[i] = static_cast<char>(i);
    // 3: a saved error status, with remains behind the NUL of its name.
    std::string failed = Record({{255, std::string("c.mp3\0remains", 13)}, {345, "MP3"}, {619, "c"},
                                 {699, "WAV (PCM)"}, {364, "/out/"}, {804, "Error: Dest type is invalid."}});
    const std::string records = noNul + reserved + failed;
    const std::string path = dir.File("foreign.tsl");
    test::WriteBytes(path, records + std::string(1000, '\x7F'));

    const auto result = RunProcess(CliPath() + " show " + ShellQuote(path));
    ASSERT_EQ(result.exitCode, 0);
    const std::string expected =
        std::string(80, 'n') + "\t" + std::string(10, 'T') + "\t" + std::string(80, 'D') + "\t" +
        std::string(80, 'Y') + "\t" + std::string(255, 'd') + "\t" + std::string(256, 'S') + "\n" +
        "b.wav\tWAV\tb\tWAV\t/tmp/\tReady\n" + "c.mp3\tMP3\tc\tWAV (PCM)\t/out/\tError: Dest type is invalid.\n";
    EXPECT_EQ(result.output, expected);

    ItemList loaded;
    ASSERT_EQ(ReadListFile(path, loaded), ListFileResult::Ok);
    const std::string saved = dir.File("saved.tsl");
    ASSERT_EQ(WriteListFile(saved, loaded), ListFileResult::Ok);
    EXPECT_EQ(test::ReadBytes(saved), records);
}

TEST(CliShow, ErrorsAndUsage) {
    test::TempDir dir;
    const auto missing = RunProcess(CliPath() + " show " + ShellQuote(dir.File("none.tsl")) + " 2>/dev/null");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.output, "");
    const auto oneLine = RunProcess(CliPath() + " show " + ShellQuote(dir.File("none.tsl")) + " 2>&1");
    EXPECT_EQ(std::count(oneLine.output.begin(), oneLine.output.end(), '\n'), 1);
    EXPECT_EQ(RunProcess(CliPath() + " show 2>/dev/null").exitCode, 2);
    EXPECT_EQ(RunProcess(CliPath() + " show a b 2>/dev/null").exitCode, 2);
    EXPECT_EQ(RunProcess(CliPath() + " 2>/dev/null").exitCode, 2);
    EXPECT_EQ(RunProcess(CliPath() + " no-such-command 2>/dev/null").exitCode, 2);
}

// Empty files are enough: `add` takes a file named itself as what its name says it is.
std::string Touch(const test::TempDir& dir, const std::string& name) {
    const std::string path = dir.File(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    test::WriteBytes(path, "");
    return path;
}

TEST(CliAdd, AddedFilesShowAsNewRowsNamedAfterTheirDestType) {
    test::TempDir dir;
    const std::string list = dir.File("new.tsl");
    const auto files = [&dir](std::initializer_list<const char*> names) {
        std::string words;
        for (const char* name : names) words += " " + ShellQuote(Touch(dir, name));
        return words;
    };
    ASSERT_EQ(Cli("add " + ShellQuote(list) + " --dest-type=WAV" + files({"music/Song.Live.MP3", "x/b.ogg"})).exitCode, 0);
    ASSERT_EQ(Cli("add " + ShellQuote(list) + " --dest-type=MP3" + files({"m/a.wav", "m/b.mp3", "m/c"})).exitCode, 0);
    // A type with no default quality needs one.
    EXPECT_EQ(Cli("add " + ShellQuote(list) + " '--dest-type=WAV (IMA ADPCM)'" + files({"m/d.mp3"}) + " 2>&1").output,
              "tessival-cli: \"WAV (IMA ADPCM)\" has no default quality; choose one with --quality (see "
              "`tessival-cli qualities 'WAV (IMA ADPCM)'`)\n");
    ASSERT_EQ(Cli("add " + ShellQuote(list) + " '--dest-type=WAV (IMA ADPCM)' --quality=1,88,4,22050" +
                  files({"m/d.mp3"})).exitCode,
              0);
    ASSERT_EQ(Cli("add " + ShellQuote(list) + files({"m/e.mp3"})).exitCode, 0);
    const auto show = Cli("show " + ShellQuote(list));
    const std::string m = dir.File("m/");
    EXPECT_EQ(show.output,
              "Song.Live.MP3\tMP3\tSong.wav\tWAV\t" + dir.File("music/") + "\tReady\n" +
              "b.ogg\tOGG\tb.wav\tWAV\t" + dir.File("x/") + "\tReady\n" +
              "a.wav\tWAV\ta.mp3\tMP3\t" + m + "\tReady\n" +
              "b.mp3\tMP3\tb.mp3\tMP3\t" + m + "\tReady\n" +
              "c\tUNKNOWN\tc.mp3\tMP3\t" + m + "\tReady\n" +
              "d.mp3\tMP3\td.wav\tWAV (IMA ADPCM)\t" + m + "\tReady\n" +
              "e.mp3\tMP3\te\tUNSPECIFIED\t" + m + "\tReady\n");
}

TEST(CliAdd, TextsLongerThanTheirFieldsAreRefusedAndNothingIsAdded) {
    test::TempDir dir;
    const std::string list = dir.File("list.tsl");
    ASSERT_EQ(Cli("add " + ShellQuote(list) + " " + ShellQuote(Touch(dir, "m/first.wav"))).exitCode, 0);
    const std::string before = test::ReadBytes(list);
    const std::string ok = Touch(dir, "m/ok.wav");
    const std::string longName = Touch(dir, "m/" + std::string(80, 'n') + ".wav");
    const std::string longPath = Touch(dir, std::string(250, 'd') + "/a.wav");
    const auto refused = Cli("add " + ShellQuote(list) + " " + ShellQuote(ok) + " " + ShellQuote(longName) +
                                    " " + ShellQuote(longPath) + " 2>&1");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.output, "tessival-cli: This file was not added: its name is longer than 79 bytes.\n" + longName +
                                  "\nThis file was not added: its path is longer than 254 bytes.\n" + longPath +
                                  "\nnothing was added to '" + list + "'\n");
    const auto longDest = Cli("add " + ShellQuote(list) + " --dest-path=/" + std::string(254, 'd') + " " +
                              ShellQuote(ok) + " 2>&1");
    EXPECT_EQ(longDest.exitCode, 1);
    EXPECT_NE(longDest.output.find("the dest path is longer than 254 bytes"), std::string::npos) << longDest.output;
    EXPECT_EQ(test::ReadBytes(list), before);
}

TEST(CliAdd, TwelveAddsAtOnceKeepTwelveRows) {
    test::TempDir dir;
    const std::string list = dir.File("shared.tsl");
    std::string commands;
    for (int i = 0; i < 12; ++i)
        commands += CliPath() + " add " + ShellQuote(list) + " " + ShellQuote(Touch(dir, "m/" + std::to_string(i) + ".wav")) +
                    " & ";
    ASSERT_EQ(RunProcess(commands + "wait").exitCode, 0);
    const auto show = Cli("show " + ShellQuote(list));
    EXPECT_EQ(std::count(show.output.begin(), show.output.end(), '\n'), 12) << show.output;
    for (int i = 0; i < 12; ++i)
        EXPECT_NE(show.output.find(std::to_string(i) + ".wav\tWAV"), std::string::npos) << i << show.output;
}

TEST(CliAdd, FifosAsSourcesSheetsAndListsAreRefusedAtOnce) {
    test::TempDir dir;
    for (const char* name : {"album.cue", "disc.toc", "song.wav", "list.tsl"})
        ASSERT_EQ(::mkfifo(dir.File(name).c_str(), 0600), 0) << name;
    for (const char* name : {"album.cue", "disc.toc", "song.wav"}) {
        // `timeout` ends a command that waits for a writer that never comes.
        const auto added = RunProcess("timeout 20 " + CliPath() + " add " + ShellQuote(dir.File("ok.tsl")) + " " + ShellQuote(dir.File(name)) + " 2>&1");
        EXPECT_EQ(added.exitCode, 1) << name;
        EXPECT_EQ(added.output, "tessival-cli: " + dir.File(name) +
                                    " is not a regular file (it is a FIFO, socket, device or folder), so it is not "
                                    "read.\n") << name;
    }
    EXPECT_EQ(RunProcess("timeout 20 " + CliPath() + " add " + ShellQuote(dir.File("list.tsl")) + " " +
                         ShellQuote(Touch(dir, "a.wav")) + " 2>/dev/null").exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.File("ok.tsl")));
}

TEST(CliAdd, ACueTrackPastTheEndOfItsFileIsRefusedWithItsLine) {
    test::TempDir dir;
    ASSERT_TRUE(media::test::MakeTone(dir.File("album.wav"), 8000, 1, "pcm_s16le", 2.0));
    test::WriteBytes(dir.File("album.cue"), "FILE \"album.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                            "  TRACK 02 AUDIO\n    INDEX 01 00:02:01\n");
    const std::string list = dir.File("list.tsl");
    const auto added = Cli("add " + ShellQuote(list) + " " + ShellQuote(dir.File("album.cue")) + " 2>&1");
    EXPECT_EQ(added.exitCode, 1);
    EXPECT_EQ(added.output, "tessival-cli: " + dir.File("album.cue") + ", line 5: the track starts after the end of "
                                                                       "its audio file. Nothing was added from this cue "
                                                                       "sheet.\n");
    EXPECT_FALSE(std::filesystem::exists(list));
}

TEST(CliList, TrailingPartOfARecordIsReportedAndNeverLostByAdd) {
    test::TempDir dir;
    const std::string list = dir.File("cut.tsl");
    ASSERT_EQ(Cli("add " + ShellQuote(list) + " " + ShellQuote(Touch(dir, "m/a.wav")) + " " +
                  ShellQuote(Touch(dir, "m/b.wav")))
                  .exitCode,
              0);
    const std::string whole = test::ReadBytes(list);
    const std::string cut = whole + whole.substr(0, 700);  // a third record cut short
    test::WriteBytes(list, cut);

    const auto show = Cli("show " + ShellQuote(list) + " 2>&1");
    EXPECT_EQ(show.exitCode, 0);
    EXPECT_EQ(show.output, "tessival-cli: warning: list '" + list +
                               "' ends with 700 bytes that are not a whole item; they are left out\n"
                               "a.wav\tWAV\ta\tUNSPECIFIED\t" + dir.File("m/") + "\tReady\n" +
                               "b.wav\tWAV\tb\tUNSPECIFIED\t" + dir.File("m/") + "\tReady\n");
    const auto add = Cli("add " + ShellQuote(list) + " " + ShellQuote(Touch(dir, "m/c.wav")) + " 2>&1");
    EXPECT_EQ(add.exitCode, 1);
    EXPECT_EQ(add.output, "tessival-cli: list '" + list +
                              "' ends with 700 bytes that are not a whole item; nothing was added (truncate it to "
                              "2120 bytes to drop them)\n");
    EXPECT_EQ(test::ReadBytes(list), cut);
}

}  // namespace
}  // namespace tessival
