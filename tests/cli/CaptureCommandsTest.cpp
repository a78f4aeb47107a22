#include <gtest/gtest.h>

#include <filesystem>

#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/media/MediaFixtures.h"
#include "support/PulseServer.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using test::CliPath;
using test::RunProcess;
using test::ShellQuote;

class CliCapture : public ::testing::Test {
protected:
    test::ProcessResult Cli(const std::string& env, const std::string& args) {
        return RunProcess(env + CliPath() + " " + args + " 2>/dev/null");
    }
    ItemList ReadList() {
        ItemList items;
        EXPECT_EQ(ReadListFile(list_, items), ListFileResult::Ok);
        return items;
    }

    test::TempDir dir_;
    std::string list_ = dir_.File("rec.tsl");
};

TEST_F(CliCapture, DevicesListsIndexNameAndInputLines) {
    test::PulseServer server(440);
    ASSERT_TRUE(server.Running());
    const auto result = Cli(server.EnvPrefix(), "devices");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output,
              "0\tSine source at 440 Hz\t0:Sine source at 440 Hz\n"
              "1\tMonitor of Null Output\t0:Monitor of Null Output\n");
}

TEST_F(CliCapture, WithoutAServerThereAreNoDevicesToListOrAdd) {
    test::NoPulseServer none;
    const auto listed = Cli(none.EnvPrefix(), "devices");
    EXPECT_EQ(listed.exitCode, 1);  // and says why on stderr
    EXPECT_EQ(listed.output, "");
    EXPECT_EQ(Cli(none.EnvPrefix(), "add " + ShellQuote(list_) + " --capture=0").exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(list_));
}

TEST_F(CliCapture, AddTakesADeviceByIndexOrByNameWithALine) {
    test::PulseServer server;
    ASSERT_TRUE(server.Running());
    const std::string env = server.EnvPrefix();
    EXPECT_EQ(Cli(env, "add --capture=1 " + ShellQuote(list_)).exitCode, 0);
    EXPECT_EQ(Cli(env, "add " + ShellQuote(list_) + " '--capture=Sine source at 440 Hz:0' --dest-type=WAV").exitCode, 0);
    EXPECT_EQ(Cli(env, "add " + ShellQuote(list_) + " --capture=2").exitCode, 1);    // no third device
    EXPECT_EQ(Cli(env, "add " + ShellQuote(list_) + " --capture=0:1").exitCode, 1);  // no second line
    EXPECT_EQ(Cli(env, "add " + ShellQuote(list_)).exitCode, 2);

    const ItemList items = ReadList();
    ASSERT_EQ(items.Count(), 2u);
    EXPECT_EQ(ReadField(items.At(0)->sourceName), "Monitor of Null Output");
    EXPECT_EQ(ReadField(items.At(0)->sourceType), "CAP");
    EXPECT_EQ(ReadField(items.At(0)->sourcePath), "");
    EXPECT_EQ(items.At(0)->captureDevice, 1);
    EXPECT_EQ(items.At(0)->captureInput, -1);
    EXPECT_EQ(ReadField(items.At(1)->sourceName), "Sine source at 440 Hz");
    EXPECT_EQ(ReadField(items.At(1)->destName), "Sine source at 440 Hz.wav");
    EXPECT_EQ(items.At(1)->captureDevice, 0);
    EXPECT_EQ(items.At(1)->captureInput, 0);
}

TEST_F(CliCapture, StopAfterRecordsForThatLongAndEndsLikeStop) {
    test::PulseServer server(880);
    ASSERT_TRUE(server.Running());
    const std::string env = server.EnvPrefix();
    ASSERT_EQ(Cli(env, "add " + ShellQuote(list_) + " --capture=0 --dest-type='WAV (PCM)' --dest-path=" +
                           ShellQuote(dir_.Path()) + " --quality=1,705,16,44100").exitCode, 0);
    const auto result = Cli(env, "convert --stop-after=3 " + ShellQuote(list_));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    // No tick once the stop is asked for, however long the recording takes to end.
    EXPECT_EQ(result.output, "1: Init...\n1: Doing...0\n1: Doing...1\n1: User abort\nConvert Complete!\n");

    const std::string wave = dir_.File("Sine source at 880 Hz.wav");
    const auto probe = media::test::Probe(wave);
    ASSERT_EQ(probe.count("error"), 0u) << probe.at("error");
    EXPECT_EQ(probe.at("codec_name"), "pcm_s16le");
    EXPECT_EQ(probe.at("channels"), "1");
    // The virtual sine source hands out its audio in blocks of up to two seconds.
    const double seconds = std::stod(probe.at("duration_ts")) / 44100.0;
    EXPECT_GE(seconds, 1.9);
    EXPECT_LE(seconds, 4.1);
    EXPECT_NEAR(test::ToneFrequency(media::test::DecodeFloat(wave, 44100, 1), 44100, 1), 880.0, 4.0);
    EXPECT_EQ(Cli(env, "convert " + ShellQuote(list_) + " --stop-after=0").exitCode, 2);
}

TEST_F(CliCapture, AHangUpOrTerminateEndsARecordingLikeStopAndKeepsIt) {
    test::PulseServer server(440);
    ASSERT_TRUE(server.Running());
    const std::string env = server.EnvPrefix();
    ASSERT_EQ(Cli(env, "add " + ShellQuote(list_) + " --capture=0 --dest-type='WAV (PCM)' --dest-path=" +
                           ShellQuote(dir_.Path()) + " --quality=1,705,16,44100").exitCode, 0);
    const std::string wave = dir_.File("Sine source at 440 Hz.wav");
    for (const std::string signal : {"HUP", "TERM"}) {
        std::filesystem::remove(wave);
        const auto result = RunProcess(env + CliPath() + " convert " + ShellQuote(list_) + " 2>/dev/null & pid=$!; "
                                       "until ls " + ShellQuote(dir_.Path()) + " | grep -q part-; do sleep 0.1; done; "
                                       "sleep 2.5; kill -" + signal + " $pid; wait $pid");
        EXPECT_EQ(result.exitCode, signal == "HUP" ? 129 : 143) << signal;
        EXPECT_NE(result.output.find("1: User abort\n"), std::string::npos) << signal << result.output;
        const auto probe = media::test::Probe(wave);
        ASSERT_EQ(probe.count("error"), 0u) << signal << probe.at("error");
        EXPECT_GT(std::stod(probe.at("duration_ts")), 0) << signal;
    }
}

TEST_F(CliCapture, ACaptureItemRecordsFromTheDeviceItNamesWhereverItIsNow) {
    test::PulseServer server(440);
    ASSERT_TRUE(server.Running());
    const std::string env = server.EnvPrefix();
    for (const char* device : {"0", "1"})
        ASSERT_EQ(Cli(env, "add " + ShellQuote(list_) + " --capture=" + device + " --dest-type='WAV (PCM)' --dest-path=" +
                               ShellQuote(dir_.Path()) + " --quality=1,705,16,44100").exitCode, 0);
    // The sine source goes: the null sink's monitor moves from the second place to the first.
    ASSERT_EQ(RunProcess(env + "pactl unload-module module-sine-source").exitCode, 0);
    const auto result = Cli(env, "convert --stop-after=2 " + ShellQuote(list_));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.output.find("1: Error: The capture device \"Sine source at 440 Hz\" is not connected.\n"),
              std::string::npos) << result.output;
    EXPECT_NE(result.output.find("2: User abort\n"), std::string::npos) << result.output;
    EXPECT_FALSE(std::filesystem::exists(dir_.File("Sine source at 440 Hz.wav")));
    const auto probe = media::test::Probe(dir_.File("Monitor of Null Output.wav"));
    ASSERT_EQ(probe.count("error"), 0u) << probe.at("error");
    EXPECT_EQ(probe.at("codec_name"), "pcm_s16le");
}

}  // namespace
}  // namespace tessival
