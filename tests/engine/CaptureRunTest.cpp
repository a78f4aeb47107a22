#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "engine/ConversionRun.h"
#include "engine/ConvertEngine.h"
#include "engine/GraphToolkit.h"
#include "joblist/ItemFactory.h"
#include "platform/media/MediaFixtures.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/QueryInterface.h"
#include "platform/shell/ScriptedShell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "support/FakeCaptureSources.h"
#include "support/PulseServer.h"
#include "support/TempDir.h"
#include "RecordingRunView.h"

namespace tessival {
namespace {

using namespace std::chrono_literals;
using media::test::DecodeFloat;
using media::test::Probe;

constexpr QualityInfo kStereo44k{1, 2, 44100, 176400, 4, 16, 0};

// Input lines of a device with ports, through the toolkit as the capture chain and the dialog
// use it.
class CaptureLines : public ::testing::Test {
protected:
    std::shared_ptr<test::FakeCaptureSources> sources_ = std::make_shared<test::FakeCaptureSources>();
    ScriptedShell shell_;
    GraphToolkit toolkit_{shell_, test::RegistryWithDevices(sources_)};
};

TEST_F(CaptureLines, DevicesAreNamedByDescriptionAndLinesByPort) {
    ASSERT_EQ(toolkit_.ListAudioInputDevices(), 2);
    EXPECT_EQ(toolkit_.GetDeviceName(0), "Sound Card");
    EXPECT_EQ(toolkit_.GetDeviceName(1), "Plain Source");
    auto card = toolkit_.AddAudioInputDevice(0);
    EXPECT_EQ(toolkit_.PinNamesOf(card, media::PINDIR_INPUT), (std::vector<std::string>{"Microphone", "Line In", "CD"}));
    EXPECT_EQ(toolkit_.PinNamesOf(card, media::PINDIR_OUTPUT), std::vector<std::string>{"Capture"});
    // A device without lines has one input standing for itself.
    auto plain = toolkit_.AddAudioInputDevice(1);
    EXPECT_EQ(toolkit_.PinNamesOf(plain, media::PINDIR_INPUT), std::vector<std::string>{"Plain Source"});
    EXPECT_EQ(toolkit_.AddAudioInputDevice(2), nullptr);
}

TEST_F(CaptureLines, SelectingALineSwitchesTheDeviceToThatPortOnly) {
    auto card = toolkit_.AddAudioInputDevice(0);
    for (int line = 0; line < 3; ++line) toolkit_.SelectInputLine(card, line + 1, line);
    EXPECT_EQ(sources_->switches, (std::vector<std::string>{"card:mic", "card:line", "card:cd"}));

    bool enabled = true;
    auto mixerOf = [&](int line) {
        return media::QueryInterface<media::IAMAudioInputMixer>(toolkit_.GetPin(card, media::PINDIR_INPUT, line));
    };
    mixerOf(0)->get_Enable(enabled);
    EXPECT_FALSE(enabled);
    mixerOf(2)->get_Enable(enabled);
    EXPECT_TRUE(enabled);
    // Turning a line off cannot leave a device without an input: it changes nothing.
    EXPECT_EQ(mixerOf(2)->put_Enable(false), media::S_OK);
    EXPECT_EQ(sources_->switches.size(), 3u);
    // No line chosen: nothing is switched.
    toolkit_.SelectInputLine(card, 0, -1);
    EXPECT_EQ(sources_->switches.size(), 3u);
}

// Capture items converted to WAVE files by the engine and the run.
class CaptureRun : public ::testing::Test {
protected:
    // An item of the device at that place, named as the device list names it now (as the capture
    // dialog and `add` make it); "rec" when there is none.
    void AddCapture(int device, int line = -1) {
        GraphToolkit toolkit(shell_, registry_);
        const int count = toolkit.ListAudioInputDevices();
        ConvertItem item = MakeCaptureItem(device < count ? toolkit.GetDeviceName(device) : "rec", device, line);
        WriteField(item.destPath, dir_.Path());
        WriteField(item.destName, "rec.wav");
        WriteField(item.destType, "WAV (PCM)");
        item.quality = kStereo44k;
        items_.Append(item);
    }
    std::string Output() const { return dir_.File("rec.wav"); }
    double Seconds() {
        const auto probe = Probe(Output());
        EXPECT_EQ(probe.count("error"), 0u) << probe.at("error");
        const auto frames = probe.find("duration_ts");
        EXPECT_NE(frames, probe.end());
        if (frames == probe.end() || frames->second.find_first_not_of("0123456789") != std::string::npos) {
            ADD_FAILURE() << "no length: " << (frames == probe.end() ? "" : frames->second);
            return -1;
        }
        return std::stod(frames->second) / 44100.0;
    }
    // A run over the list with an engine on these filters and devices.
    ConversionRun& MakeRun(std::shared_ptr<const media::FilterRegistry> registry = media::SystemRegistry()) {
        registry_ = registry;
        engine_ = std::make_unique<ConvertEngine>(shell_, std::move(registry));
        run_ = std::make_unique<ConversionRun>(items_, *engine_, view_);
        return *run_;
    }
    // Starts the run and lets it record for that long.
    void Record(ConversionRun& run, std::chrono::milliseconds recording) {
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(view_.WaitForCell(0, "Init..."));
        std::this_thread::sleep_for(recording);
    }
    void RunFor(ConversionRun& run, std::chrono::milliseconds recording) {
        Record(run, recording);
        run.Stop();
        ASSERT_TRUE(view_.WaitForFinish());
        run.Wait();
    }

    test::TempDir dir_;
    ItemList items_;
    ScriptedShell shell_;
    test::RecordingRunView view_{items_};
    std::shared_ptr<const media::FilterRegistry> registry_ = media::SystemRegistry();
    std::unique_ptr<ConvertEngine> engine_;
    std::unique_ptr<ConversionRun> run_;
};

TEST_F(CaptureRun, RecordsTheToneUntilStopIntoAValidWave) {
    test::PulseServer server(440);
    ASSERT_TRUE(server.Running());
    ConversionRun& run = MakeRun();
    AddCapture(0);
    RunFor(run, 2500ms);

    EXPECT_EQ(view_.Cell(0), LoadString(IDS_USER_ABORT));
    EXPECT_EQ(view_.finalMessage, IDS_CONVERT_COMPLETE);
    // The virtual sine source hands out its audio in blocks of up to two seconds, so a recording
    // of 2.5 s holds one or two of them.
    const double seconds = Seconds();
    EXPECT_GE(seconds, 1.9);
    EXPECT_LE(seconds, 4.1);
    const auto samples = DecodeFloat(Output(), 44100, 1);
    EXPECT_NEAR(test::ToneFrequency(samples, 44100, 1), 440.0, 3.0);
}

TEST_F(CaptureRun, ARecordingShowsHowLongItHasRecordedAndNoLength) {
    test::PulseServer server(440);
    ASSERT_TRUE(server.Running());
    ConversionRun& run = MakeRun();
    AddCapture(0);
    Record(run, 2500ms);
    BatchProgress progress;
    run.AddProgress(progress);
    run.Stop();
    ASSERT_TRUE(view_.WaitForFinish());
    run.Wait();

    ASSERT_EQ(progress.running.size(), 1u);
    // The server hands out its audio in blocks of up to two seconds.
    EXPECT_GE(progress.running[0].media.positionSeconds, 0.4);
    EXPECT_LE(progress.running[0].media.positionSeconds, 4.1);
    EXPECT_LT(progress.running[0].media.durationSeconds, 0);
}

TEST_F(CaptureRun, TheServerGoingAwayEndsTheItemWithATextAndKeepsTheRecording) {
    test::PulseServer server(440);
    ASSERT_TRUE(server.Running());
    ConversionRun& run = MakeRun();
    AddCapture(0);
    Record(run, 3000ms);  // past the source's first block
    server.Kill();
    ASSERT_TRUE(view_.WaitForFinish(20));
    run.Wait();

    EXPECT_EQ(view_.Cell(0), LoadString(IDS_CAPTURE_DEVICE_LOST));
    EXPECT_EQ(view_.finalMessage, IDS_CONVERT_HAD_ERRORS);
    EXPECT_GT(Seconds(), 0.5);
    EXPECT_NEAR(test::ToneFrequency(DecodeFloat(Output(), 44100, 1), 44100, 1), 440.0, 3.0);
}

TEST_F(CaptureRun, WithoutAServerACaptureItemFailsAtOnceAsItsDeviceIsNotConnected) {
    test::NoPulseServer none;
    ConversionRun& run = MakeRun();
    AddCapture(0);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(view_.WaitForFinish(20));
    run.Wait();
    EXPECT_EQ(view_.Cell(0), "Error: The capture device \"rec\" is not connected.");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_FALSE(std::filesystem::exists(Output()));
}

TEST_F(CaptureRun, LostAudioIsReportedAndWhatWasRecordedIsKept) {
    auto sources = std::make_shared<test::FakeCaptureSources>();
    sources->seconds = 0.5;
    sources->endReason = "";
    sources->droppedBytes = 4800 * 4;  // 100 ms the chain could not take in time
    ConversionRun& run = MakeRun(test::RegistryWithDevices(sources));
    AddCapture(0, 1);
    RunFor(run, 700ms);

    EXPECT_EQ(sources->switches, (std::vector<std::string>{"card:line"}));
    EXPECT_EQ(view_.Cell(0), LoadString(IDS_USER_ABORT));
    EXPECT_EQ(ReadField(items_.At(0)->status), LoadString(IDS_CAPTURE_OVERRUN));
    EXPECT_EQ(view_.finalMessage, IDS_CONVERT_HAD_ERRORS);
    EXPECT_NEAR(Seconds(), 0.5, 0.01);
}

TEST_F(CaptureRun, TheDeviceRecordsInItsOwnFormatAndTheEncoderConverts) {
    auto sources = std::make_shared<test::FakeCaptureSources>();
    sources->seconds = 1.0;
    sources->endReason = "gone";
    ConversionRun& run = MakeRun(test::RegistryWithDevices(sources));
    AddCapture(0, 0);
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(view_.WaitForFinish(20));
    run.Wait();

    // 48 kHz stereo from the device, 44.1 kHz in the file.
    EXPECT_EQ(sources->openedFormat, (CaptureFormat{48000, 2, 16, false}));
    EXPECT_EQ(view_.Cell(0), LoadString(IDS_CAPTURE_DEVICE_LOST));
    EXPECT_NEAR(Seconds(), 1.0, 0.01);
    EXPECT_NEAR(test::ToneFrequency(DecodeFloat(Output(), 44100, 1), 44100, 1), 440.0, 2.0);
}

}  // namespace
}  // namespace tessival
