#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/media/MediaFixtures.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::RunProcess;
using test::ShellQuote;

class CliConvert : public ::testing::Test {
protected:
    CliConvert() { std::filesystem::create_directory(out_); }

    void AddItem(const std::string& source, const QualityInfo& quality, const std::string& destType = "WAV (PCM)") {
        ConvertItem item = MakeSingleFileItem(source);
        WriteField(item.destPath, out_);
        WriteField(item.destName, ReadField(item.destName) + ".out.wav");
        WriteField(item.destType, destType);
        item.quality = quality;
        items_.Append(item);
        ASSERT_EQ(WriteListFile(list_, items_), ListFileResult::Ok);
    }
    std::string Tone(const std::string& name, double seconds, int rate = 44100) {
        const std::string path = dir_.File(name);
        EXPECT_TRUE(media::test::MakeTone(path, rate, 2, "pcm_s16le", seconds));
        return path;
    }
    test::ProcessResult Convert(const std::string& prefix = "", const std::string& options = "") {
        return RunProcess(prefix + CliPath() + " convert " + ShellQuote(list_) + options + " 2>/dev/null");
    }

    // Ctrl-C once the conversion writes its file, however long the start takes: `timeout` turns
    // the alarm into SIGINT for the command (a background job of a shell would ignore SIGINT).
    test::ProcessResult ConvertAndInterruptOnceWriting() {
        return RunProcess("timeout --preserve-status -s INT 600 " + CliPath() + " convert " + ShellQuote(list_) +
                          " 2>/dev/null & pid=$!; until ls " + ShellQuote(out_) +
                          " | grep -q part-; do sleep 0.1; done; sleep 0.5; kill -ALRM $pid; wait $pid");
    }

    test::TempDir dir_;
    std::string out_ = dir_.File("out");
    std::string list_ = dir_.File("list.tsl");
    ItemList items_;
};

constexpr QualityInfo kMono22k{1, 1, 22050, 44100, 2, 16, 0};

TEST_F(CliConvert, EveryChangeIsALineAndSuccessExitsZero) {
    AddItem(Tone("a.wav", 1), kMono22k);
    const auto result = Convert();
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output.rfind("1: Init...\n", 0), 0u) << result.output;
    EXPECT_NE(result.output.find("1: Complete("), std::string::npos);
    EXPECT_NE(result.output.find("\nConvert Complete!\n"), std::string::npos);
    EXPECT_EQ(media::test::Probe(out_ + "/a.out.wav").at("sample_rate"), "22050");
}

TEST_F(CliConvert, AFailedItemIsReportedAndExitsOne) {
    AddItem(dir_.File("missing.wav"), kMono22k);
    AddItem(Tone("b.wav", 1), kMono22k);
    const auto result = Convert();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("1: Error: "), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("2: Complete("), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("\n1 of 2 items failed; see the lines above\n"), std::string::npos) << result.output;
}

TEST_F(CliConvert, BadQualityIsSkippedOrConvertedWithTheDefault) {
    AddItem(Tone("a.wav", 1), QualityInfo{1, 1, 22050, 44101, 2, 16, 0});
    const auto skipped = Convert();
    EXPECT_EQ(skipped.exitCode, 1);
    EXPECT_NE(skipped.output.find("1: Error: Dest qualities is invalid."), std::string::npos) << skipped.output;
    const auto defaulted = Convert("", " --on-bad-quality=default");
    EXPECT_EQ(defaulted.exitCode, 0) << defaulted.output;
    EXPECT_TRUE(std::filesystem::exists(out_ + "/a.out.wav"));
}

TEST_F(CliConvert, InterruptStopsLikeTheStopButton) {
    // MP3 at its heaviest setting, so the item is still converting when the interrupt comes.
    AddItem(Tone("long.wav", 900, 96000), QualityInfo{0x55, 2, 44100, 40000, 1, 0, 12}, "MP3");
    AddItem(Tone("next.wav", 1), kMono22k);
    const auto result = ConvertAndInterruptOnceWriting();
    EXPECT_EQ(result.exitCode, 130);
    EXPECT_NE(result.output.find("1: User abort\n"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("2: "), std::string::npos) << result.output;
}

TEST_F(CliConvert, AnInterruptedItemKeepsTheOlderFileAndSaysWhereItsOutputWent) {
    AddItem(Tone("long.wav", 900, 96000), QualityInfo{0x55, 2, 44100, 40000, 1, 0, 12}, "MP3");
    ASSERT_TRUE(media::test::MakeTone(out_ + "/long.out.wav", 8000, 1, "pcm_u8", 0.1));
    const std::string older = test::ReadBytes(out_ + "/long.out.wav");
    const auto result = ConvertAndInterruptOnceWriting();
    EXPECT_NE(result.output.find("1: User abort\nStopped: the older file keeps its name; what was converted is in " +
                                 out_ + "/long.out (stopped).wav\nConvert Complete!\n"),
              std::string::npos)
        << result.output;
    EXPECT_EQ(test::ReadBytes(out_ + "/long.out.wav"), older);
    EXPECT_EQ(media::test::Probe(out_ + "/long.out (stopped).wav")["codec_name"], "mp3");
}

TEST_F(CliConvert, APlantedLinkIsReplacedAndAFileThatIsNotAudioIsNeverReplaced) {
    const std::string secret = dir_.File("important.conf");
    test::WriteBytes(secret, "root's settings\n");
    ASSERT_EQ(::chmod(out_.c_str(), 01777), 0);
    // Planted in the shared folder under the name item 1 writes.
    ASSERT_EQ(::symlink(secret.c_str(), (out_ + "/a.out.wav").c_str()), 0);
    AddItem(Tone("a.wav", 1), kMono22k);
    AddItem(Tone("b.wav", 1), kMono22k);
    test::WriteBytes(out_ + "/b.out.wav", "ssh-ed25519 AAAA key\n");
    const auto result = Convert();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("1: Complete("), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("2: Error: " + out_ + "/b.out.wav is not an audio file, so it is not replaced."),
              std::string::npos) << result.output;
    EXPECT_EQ(test::ReadBytes(secret), "root's settings\n");
    EXPECT_FALSE(std::filesystem::is_symlink(out_ + "/a.out.wav"));
    EXPECT_EQ(media::test::Probe(out_ + "/a.out.wav").at("sample_rate"), "22050");
    EXPECT_EQ(test::ReadBytes(out_ + "/b.out.wav"), "ssh-ed25519 AAAA key\n");
}

TEST_F(CliConvert, AWriteFailureSaysSoWithTheSystemsReason) {
    AddItem(Tone("a.wav", 5), kMono22k);
    // A file size limit makes writes fail part way, as a full disk does.
    const auto result = Convert("trap '' XFSZ; ulimit -f 64; ");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("1: Error: Cannot write the destination file: File too large\n"), std::string::npos)
        << result.output;
    EXPECT_FALSE(std::filesystem::exists(out_ + "/a.out.wav"));
    EXPECT_TRUE(std::filesystem::is_empty(out_));
}

TEST_F(CliConvert, UsageAndIncompleteLists) {
    EXPECT_EQ(RunProcess(CliPath() + " convert 2>/dev/null").exitCode, 2);
    EXPECT_EQ(RunProcess(CliPath() + " convert a.tsl --on-bad-quality=maybe 2>/dev/null").exitCode, 2);
    EXPECT_EQ(RunProcess(CliPath() + " convert " + ShellQuote(dir_.File("none.tsl")) + " 2>/dev/null").exitCode, 1);
    AddItem(Tone("a.wav", 1), QualityInfo{});  // no quality chosen
    const auto result = Convert();
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output, "");
}

}  // namespace
}  // namespace tessival
