#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>

#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/media/MediaFixtures.h"
#include "support/RunOnTerminal.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::RunProcess;
using test::ShellQuote;

constexpr QualityInfo kMono22k{1, 1, 22050, 44100, 2, 16, 0};
constexpr QualityInfo kMp3Stereo128{0x55, 2, 44100, 16000, 1, 0, 12};

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// What a terminal shows in the end: the output with every rewrite of the progress line taken out.
std::string WithoutProgressLine(const std::string& bytes) {
    static const std::regex rewrite("\r[^\r\n\x1b]*\x1b\\[K");
    return std::regex_replace(bytes, rewrite, "");
}

// Escape bytes made visible, for failure messages.
std::string Visible(std::string bytes) {
    bytes = std::regex_replace(bytes, std::regex("\x1b"), "<ESC>");
    return std::regex_replace(bytes, std::regex("\r"), "<CR>");
}

// Lists whose items convert with several workers or in shards, checked by the files they make.
class BatchConvert : public ::testing::Test {
protected:
    void AddItem(const std::string& source, const QualityInfo& quality, const std::string& destType,
                 const std::string& destName) {
        ConvertItem item = MakeSingleFileItem(source);
        WriteField(item.destName, destName);
        WriteField(item.destType, destType);
        item.quality = quality;
        items_.Append(item);
    }
    std::string Tone(const std::string& name, double seconds, int rate = 44100) {
        const std::string path = dir_.File(name);
        EXPECT_TRUE(media::test::MakeTone(path, rate, 2, "pcm_s16le", seconds));
        return path;
    }
    // Writes the list with every destination in folder (made here) and returns the list's path.
    std::string ListInto(const std::string& folder) {
        std::filesystem::create_directories(folder);
        for (std::size_t i = 0; i < items_.Count(); ++i) WriteField(items_.At(i)->destPath, folder);
        const std::string list = folder + ".tsl";
        EXPECT_EQ(WriteListFile(list, items_), ListFileResult::Ok);
        return list;
    }
    test::ProcessResult Convert(const std::string& list, const std::string& options, const std::string& prefix = "") {
        return RunProcess(prefix + CliPath() + " convert " + ShellQuote(list) + options + " 2>/dev/null");
    }
    // A mix of destination types and one item that fails.
    void AddMixedItems() {
        AddItem(Tone("a.wav", 3), kMp3Stereo128, "MP3", "a.mp3");
        AddItem(Tone("b.wav", 2, 48000), kMono22k, "WAV (PCM)", "b.wav");
        AddItem(dir_.File("missing.wav"), kMono22k, "WAV (PCM)", "missing.wav");
        AddItem(Tone("c.wav", 2), kMp3Stereo128, "MP3", "c.mp3");
        AddItem(Tone("d.wav", 1, 22050), kMono22k, "WAV (PCM)", "d.wav");
    }

    test::TempDir dir_;
    ItemList items_;
};

TEST_F(BatchConvert, SeveralWorkersWriteTheSameFilesAsOne) {
    AddMixedItems();
    const auto one = Convert(ListInto(dir_.File("one")), " --jobs=1");
    const auto three = Convert(ListInto(dir_.File("three")), " --jobs=3");
    EXPECT_EQ(one.exitCode, 1);
    EXPECT_EQ(three.exitCode, 1);
    for (const char* name : {"a.mp3", "b.wav", "c.mp3", "d.wav"}) {
        const std::string bytes = FileBytes(dir_.File("one") + "/" + name);
        EXPECT_GT(bytes.size(), 1000u) << name;
        EXPECT_TRUE(bytes == FileBytes(dir_.File("three") + "/" + name)) << name << " differs";
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.File("three") + "/missing.wav"));
    EXPECT_EQ(media::test::Probe(dir_.File("three") + "/c.mp3").at("codec_name"), "mp3");

    // Every line is whole, and each item starts once and ends once.
    const std::regex line(R"(^[1-5]: (Init\.\.\.|Doing\.\.\.\d+|Complete\(\d+s\)|Error: .+)$)");
    std::map<char, int> starts;
    std::map<char, int> ends;
    const auto lines = Lines(three.output);
    const auto finalLine = std::find(lines.begin(), lines.end(), "1 of 5 items failed; see the lines above");
    ASSERT_NE(finalLine, lines.end()) << three.output;
    EXPECT_EQ(lines.end() - finalLine, 1);
    for (std::size_t i = 0; lines.begin() + i != finalLine; ++i) {
        EXPECT_TRUE(std::regex_match(lines[i], line)) << lines[i];
        if (lines[i].find(": Init...") != std::string::npos) ++starts[lines[i][0]];
        if (lines[i].find(": Complete(") != std::string::npos || lines[i].find(": Error: ") != std::string::npos)
            ++ends[lines[i][0]];
    }
    EXPECT_EQ(starts, (std::map<char, int>{{'1', 1}, {'2', 1}, {'3', 1}, {'4', 1}, {'5', 1}})) << three.output;
    EXPECT_EQ(ends, starts) << three.output;
}

TEST_F(BatchConvert, ItemsWritingOneFileKeepTheFirstItemsFile) {
    // The first item runs far longer than the second; the second fails before anything is written.
    AddItem(Tone("long.wav", 60), kMp3Stereo128, "MP3", "same.wav");
    AddItem(Tone("short.wav", 1, 48000), kMono22k, "WAV (PCM)", "same.wav");
    const auto result = Convert(ListInto(dir_.File("out")), " --jobs=2");
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_NE(result.output.find("2: Error: Row 1 writes the same destination file " + dir_.File("out") + "/same.wav."),
              std::string::npos)
        << result.output;
    const auto probe = media::test::Probe(dir_.File("out") + "/same.wav");
    EXPECT_EQ(probe.at("codec_name"), "mp3");
    EXPECT_EQ(probe.at("sample_rate"), "44100");
}

TEST_F(BatchConvert, AnItemThatConvertsAnEarlierItemsOutputWaitsForIt) {
    // Item 2 reads what item 1 writes; with two workers it would otherwise start at once and find
    // no file yet.
    AddItem(Tone("long.wav", 30), kMono22k, "WAV (PCM)", "step1.wav");
    const std::string out = dir_.File("out");
    AddItem(out + "/step1.wav", kMono22k, "WAV (PCM)", "step2.wav");
    const auto result = Convert(ListInto(out), " --jobs=2");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    const auto probe = media::test::Probe(out + "/step2.wav");
    ASSERT_EQ(probe.count("duration_ts"), 1u) << result.output;
    EXPECT_EQ(probe.at("duration_ts"), "661500");  // all 30 s of item 1's output
}

TEST_F(BatchConvert, ShardsTakeEveryNthItemAndTogetherConvertEachOnce) {
    for (int i = 1; i <= 7; ++i) {
        const std::string name = "t" + std::to_string(i) + ".wav";
        AddItem(Tone(name, 1), kMono22k, "WAV (PCM)", name);
    }
    const std::string list = ListInto(dir_.File("out"));

    const auto second = Convert(list, " --shard=2/3");
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(Lines(second.output).front(), "2: Init...");
    EXPECT_NE(second.output.find("\n5: Init...\n"), std::string::npos) << second.output;
    EXPECT_EQ(second.output.find("1: "), std::string::npos) << second.output;
    EXPECT_EQ(second.output.find("3: "), std::string::npos) << second.output;
    EXPECT_EQ(second.output.find("7: "), std::string::npos) << second.output;
    std::filesystem::remove_all(dir_.File("out"));
    std::filesystem::create_directories(dir_.File("out"));

    // Three processes at once, as a scheduler would start them.
    const auto all = RunProcess("parallel --will-cite --halt never " + CliPath() + " convert " + ShellQuote(list) +
                                " --shard={}/3 '2>/dev/null' ::: 1 2 3");
    EXPECT_EQ(all.exitCode, 0) << all.output;
    for (int i = 1; i <= 7; ++i) {
        const std::string done = std::to_string(i) + ": Complete(";
        const auto first = all.output.find(done);
        EXPECT_NE(first, std::string::npos) << i << "\n" << all.output;
        EXPECT_EQ(all.output.find(done, first + 1), std::string::npos) << i << " converted twice";
        EXPECT_EQ(media::test::Probe(dir_.File("out") + "/t" + std::to_string(i) + ".wav").at("sample_rate"), "22050");
    }
}

TEST_F(BatchConvert, JsonProgressIsOneObjectALine) {
    AddItem(Tone("a.wav", 1), kMono22k, "WAV (PCM)", "say \"a\".wav");
    AddItem(dir_.File("missing.wav"), kMono22k, "WAV (PCM)", "missing.wav");
    const std::string out = dir_.File("out");
    const auto result = Convert(ListInto(out), " --progress=json --jobs=2");
    EXPECT_EQ(result.exitCode, 1);
    const auto lines = Lines(result.output);
    ASSERT_GE(lines.size(), 5u) << result.output;
    EXPECT_EQ(lines.back(), R"({"finished":"At least one error while converting.\n\n)"
                            R"(please double click error item to view error message.","id":139,"failed":1,"items":2})");
    const std::regex done("^\\{\"item\":1,\"status\":\"Complete\\(\\d+s\\)\",\"elapsed\":\\d+\\.\\d\\d,\"output\":\"" +
                          out + "/say \\\\\"a\\\\\"\\.wav\"\\}$");
    const std::regex failed("^\\{\"item\":2,\"status\":\"Error: [^\"]+\",\"elapsed\":\\d+\\.\\d\\d,\"output\":\"" + out +
                            "/missing\\.wav\",\"error\":145\\}$");
    int doneLines = 0;
    int failedLines = 0;
    for (const auto& line : lines) {
        EXPECT_EQ(line.front(), '{');
        doneLines += std::regex_match(line, done);
        failedLines += std::regex_match(line, failed);
    }
    EXPECT_EQ(doneLines, 1) << result.output;
    EXPECT_EQ(failedLines, 1) << result.output;
}

TEST_F(BatchConvert, JsonReportsEachRunningItemsPositionAndDuration) {
    AddItem(Tone("a.wav", 200), kMp3Stereo128, "MP3", "a.mp3");
    AddItem(Tone("b.wav", 200), kMp3Stereo128, "MP3", "b.mp3");
    const auto result = Convert(ListInto(dir_.File("out")), " --progress=json --jobs=2");
    EXPECT_EQ(result.exitCode, 0);
    const std::regex position(R"(^\{"item":([12]),"position":(null|\d+\.\d\d),"duration":(null|200\.00),)"
                              R"("elapsed":\d+\.\d\d\}$)");
    const std::regex other(R"(^\{("item":[12],"status":"[^"]+",.*|"finished":"Convert Complete!","id":125,"failed":0,"items":2)\}$)");
    std::map<std::string, int> known;
    std::map<std::string, double> last;
    for (const auto& line : Lines(result.output)) {
        std::smatch match;
        if (!std::regex_match(line, match, position)) {
            EXPECT_TRUE(std::regex_match(line, other)) << line;
            continue;
        }
        if (match[2] == "null") continue;
        EXPECT_EQ(match[3], "200.00") << line;  // the graph tells both at once
        const double seconds = std::stod(match[2]);
        EXPECT_GE(seconds, last[match[1]]) << line;
        EXPECT_LE(seconds, 200.0) << line;
        last[match[1]] = seconds;
        ++known[match[1]];
    }
    EXPECT_GE(known["1"], 1) << result.output;
    EXPECT_GE(known["2"], 1) << result.output;
}

TEST_F(BatchConvert, PipedOutputHasOnlyTheStatusLines) {
    // The failing item first: a converted item's line follows its commit, which the next item
    // does not wait for.
    AddItem(dir_.File("missing.wav"), kMono22k, "WAV (PCM)", "missing.wav");
    AddItem(Tone("a.wav", 1), kMono22k, "WAV (PCM)", "a.wav");
    const auto result = Convert(ListInto(dir_.File("out")), "");
    EXPECT_EQ(result.output,
              "1: Init...\n1: Error: The source file is missing or cannot be read.\n2: Init...\n2: Complete(0s)\n"
              "1 of 2 items failed; see the lines above\n");
}

TEST_F(BatchConvert, ATerminalShowsAProgressLineThatNeverBreaksAStatusLine) {
    AddItem(Tone("a.wav", 150), kMp3Stereo128, "MP3", "a.mp3");
    AddItem(Tone("b.wav", 120), kMp3Stereo128, "MP3", "b.mp3");
    const std::string list = ListInto(dir_.File("out"));
    const std::regex status(R"(^([12]: (Init\.\.\.|Doing\.\.\.\d+|Complete\(\d+s\))|Convert Complete!)$)");
    for (const std::string jobs : {"--jobs=1", "--jobs=2"}) {
        const auto result = test::RunOnTerminal({"convert", list, jobs}, "xterm");
        const std::string& bytes = result.output;
        EXPECT_EQ(result.exitCode, 0) << jobs;
        const std::regex shown(jobs == "--jobs=1" ? "\rItem 1 of 2: \\d+%, about \\d+:\\d\\d left\x1b\\[K"
                                                  : "\rItems 1, 2 of 2: \\d+%");
        EXPECT_TRUE(std::regex_search(bytes, shown)) << jobs << ": " << Visible(bytes);
        // Every drawing is drawn over or erased before anything else is written, the last one included.
        const std::regex drawing("\r[^\r\n\x1b]+\x1b\\[K");
        for (auto it = std::sregex_iterator(bytes.begin(), bytes.end(), drawing); it != std::sregex_iterator(); ++it) {
            const auto after = static_cast<std::size_t>(it->position() + it->length());
            ASSERT_LT(after, bytes.size()) << jobs << ": the line stays at the end";
            EXPECT_EQ(bytes[after], '\r') << jobs << ": " << Visible(bytes.substr(it->position(), 80));
        }
        // Taken out, the drawings leave whole status lines.
        const std::string lines = WithoutProgressLine(bytes);
        EXPECT_TRUE(std::regex_search(lines, std::regex("^[12]: Init\\.\\.\\.\n"))) << jobs << ": " << Visible(bytes);
        EXPECT_TRUE(lines.ends_with("\nConvert Complete!\n")) << jobs << ": " << Visible(bytes);
        for (const auto& line : Lines(lines)) EXPECT_TRUE(std::regex_match(line, status)) << jobs << ": " << Visible(line);
    }
}

TEST_F(BatchConvert, NoProgressLineOnADumbTerminalOrWhenTurnedOff) {
    AddItem(Tone("a.wav", 150), kMp3Stereo128, "MP3", "a.mp3");
    AddItem(Tone("b.wav", 120), kMp3Stereo128, "MP3", "b.mp3");
    const std::string list = ListInto(dir_.File("out"));
    for (const auto& [term, option] : {std::pair{"dumb", "--jobs=2"}, std::pair{"", "--jobs=2"},
                                       std::pair{"xterm", "--progress=none"}}) {
        const auto result = test::RunOnTerminal({"convert", list, option}, term);
        EXPECT_EQ(result.exitCode, 0) << term << option;
        EXPECT_EQ(result.output.find_first_of("\r\x1b"), std::string::npos) << term << option << Visible(result.output);
        EXPECT_NE(result.output.find("2: Complete("), std::string::npos) << term << option << result.output;
    }
}

TEST_F(BatchConvert, InterruptStopsEveryRunningItem) {
    // MP3 at its heaviest setting, so both items outlast the second before the interrupt.
    AddItem(Tone("long1.wav", 600, 96000), QualityInfo{0x55, 2, 44100, 40000, 1, 0, 12}, "MP3", "l1.mp3");
    AddItem(Tone("long2.wav", 600, 96000), QualityInfo{0x55, 2, 44100, 40000, 1, 0, 12}, "MP3", "l2.mp3");
    AddItem(Tone("next.wav", 1), kMono22k, "WAV (PCM)", "next.wav");
    const auto result = Convert(ListInto(dir_.File("out")), " --jobs=2", "timeout --preserve-status -s INT 2 ");
    EXPECT_EQ(result.exitCode, 130);
    EXPECT_NE(result.output.find("1: User abort\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("2: User abort\n"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("3: "), std::string::npos) << result.output;
}

TEST_F(BatchConvert, AShardReadsAndChecksOnlyItsOwnItemsAndNumbersThemAsTheListDoes) {
    AddItem(Tone("a.wav", 1), QualityInfo{}, "WAV (PCM)", "a.wav");  // no quality: incomplete
    AddItem(Tone("b.wav", 1), kMono22k, "WAV (PCM)", "b.wav");
    const std::string list = ListInto(dir_.File("out"));
    const auto second = Convert(list, " --shard=2/2 --progress=json");
    EXPECT_EQ(second.exitCode, 0) << second.output;
    EXPECT_EQ(Lines(second.output).front().rfind("{\"item\":2,\"status\":\"Init...\"", 0), 0u) << second.output;
    EXPECT_EQ(RunProcess(CliPath() + " convert " + ShellQuote(list) + " --shard=1/2 2>&1").output,
              "tessival-cli: item 1 (a.wav) is incomplete: it needs a quality\n");
    EXPECT_EQ(Convert(list, " --shard=3/3").exitCode, 0);  // a shard with no item of its own
}

TEST_F(BatchConvert, AlbumGainShardsKeepEachDestFolderInOneShard) {
    // Two albums of three tracks: dealt by position, each would be split.
    for (int i = 1; i <= 6; ++i) {
        const std::string name = "t" + std::to_string(i) + ".wav";
        AddItem(Tone(name, 1), kMono22k, "WAV (PCM)", name);
        const std::string folder = dir_.File(i <= 3 ? "first" : "second");
        std::filesystem::create_directories(folder);
        WriteField(items_.At(i - 1)->destPath, folder);
    }
    const std::string list = dir_.File("albums.tsl");
    ASSERT_EQ(WriteListFile(list, items_), ListFileResult::Ok);
    std::map<int, int> shardOf;  // item number -> shard that converted it
    for (int shard = 1; shard <= 2; ++shard) {
        const auto run = Convert(list, " --replaygain=album --shard=" + std::to_string(shard) + "/2");
        EXPECT_EQ(run.exitCode, 0) << run.output;
        for (int i = 1; i <= 6; ++i)
            if (run.output.find(std::to_string(i) + ": Complete(") != std::string::npos) shardOf[i] += shard;
    }
    ASSERT_EQ(shardOf.size(), 6u);
    for (const int i : {2, 3}) EXPECT_EQ(shardOf[i], shardOf[1]) << i;
    for (const int i : {5, 6}) EXPECT_EQ(shardOf[i], shardOf[4]) << i;
    for (const auto& [item, shards] : shardOf) EXPECT_TRUE(shards == 1 || shards == 2) << item << " converted twice";
}

TEST_F(BatchConvert, BadBatchOptionsAreUsageErrors) {
    for (const char* option : {"--jobs=", "--jobs=two", "--jobs=-1", "--shard=0/2", "--shard=3/2", "--shard=1",
                               "--shard=1/0", "--progress=xml", "--progress=", "--progress"}) {
        EXPECT_EQ(RunProcess(CliPath() + " convert a.tsl " + option + " 2>/dev/null").exitCode, 2) << option;
    }
}

}  // namespace
}  // namespace tessival
