#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "engine/ConversionRun.h"
#include "engine/ConvertEngine.h"
#include "engine/CoreBudget.h"
#include "joblist/ItemFactory.h"
#include "platform/media/MediaFixtures.h"
#include "platform/media/filters/sinks/FileWriter.h"
#include "platform/shell/ScriptedShell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"
#include "support/TempDir.h"
#include "RecordingRunView.h"

namespace tessival {
namespace {

using media::test::MakeTone;
using media::test::Probe;

constexpr QualityInfo kMono22k{1, 1, 22050, 44100, 2, 16, 0};

// Real conversions of WAVE files through the system's filters, driven by a run.
class ConversionRunTest : public ::testing::Test {
protected:
    // Ten minutes of 96 kHz stereo: long enough to be stopped in the middle. Made once.
    static void SetUpTestSuite() {
        longDir_ = std::make_unique<test::TempDir>();
        longSource_ = longDir_->File("long.wav");
        ASSERT_TRUE(MakeTone(longSource_, 96000, 2, "pcm_s16le", 600));
    }
    static void TearDownTestSuite() { longDir_.reset(); }
    static inline std::unique_ptr<test::TempDir> longDir_;
    static inline std::string longSource_;

    std::string Source(const std::string& name, double seconds, int rate = 44100, int channels = 2) {
        const std::string path = dir_.File(name);
        EXPECT_TRUE(MakeTone(path, rate, channels, "pcm_s16le", seconds));
        return path;
    }
    ConvertItem& Add(const std::string& source, const QualityInfo& quality = kMono22k) {
        ConvertItem item = MakeSingleFileItem(source);
        WriteField(item.destPath, out_);
        WriteField(item.destName, ReadField(item.destName) + ".out.wav");
        WriteField(item.destType, "WAV (PCM)");
        item.quality = quality;
        return items_.Append(item);
    }
    std::string Output(int index) { return out_ + "/" + ReadField(items_.At(index)->destName); }
    void RunToEnd() {
        ASSERT_TRUE(run_.Start());
        ASSERT_TRUE(view_.WaitForFinish());
        run_.Wait();
    }

    test::TempDir dir_;
    std::string out_ = [this] {
        std::filesystem::create_directory(dir_.File("out"));
        return dir_.File("out");
    }();
    ItemList items_;
    ScriptedShell shell_;
    ConvertEngine engine_{shell_};
    test::RecordingRunView view_{items_};
    ConversionRun run_{items_, engine_, view_};
};

TEST_F(ConversionRunTest, FailedItemDoesNotEndTheRun) {
    Add(Source("one.wav", 1));
    const std::string broken = dir_.File("two.wav");
    test::WriteBytes(broken, "RIFF\x10\0\0\0WAVEjunkjunkjunk");
    Add(broken);
    Add(Source("three.wav", 1));
    RunToEnd();

    EXPECT_EQ(view_.Cell(0).rfind("Complete(", 0), 0u) << view_.Cell(0);
    EXPECT_EQ(view_.Cell(1).rfind("Error:", 0), 0u) << view_.Cell(1);
    EXPECT_EQ(view_.Cell(1), ReadField(items_.At(1)->status));
    EXPECT_EQ(view_.Cell(2).rfind("Complete(", 0), 0u) << view_.Cell(2);
    EXPECT_EQ(view_.finalMessage, IDS_CONVERT_HAD_ERRORS);
    EXPECT_FALSE(run_.Converting());

    EXPECT_FALSE(std::filesystem::exists(Output(1)));
    const auto probe = Probe(Output(2));
    EXPECT_EQ(probe.at("sample_rate"), "22050");
    EXPECT_EQ(probe.at("channels"), "1");
    // A successful item keeps its status in the record.
    EXPECT_EQ(ReadField(items_.At(0)->status), "Ready");
}

TEST_F(ConversionRunTest, ItemsWritingAnEarlierItemsFileFailAndTheEarlierOneConverts) {
    Add(Source("good.wav", 1));
    const std::string mp3 = dir_.File("good.mp3");
    ASSERT_TRUE(MakeTone(mp3, 44100, 2, "libmp3lame", 3));
    Add(mp3);                   // named "good" as well
    items_.Append(*items_.At(0));  // the same file listed twice
    Add(Source("other.wav", 1));
    RunToEnd();

    EXPECT_EQ(view_.Cell(0).rfind("Complete(", 0), 0u) << view_.Cell(0);
    const std::string clash = "Error: Row 1 writes the same destination file " + Output(0) +
                              ". Choose another dest name or dest path.";
    EXPECT_EQ(view_.Cell(1), clash);
    EXPECT_EQ(ReadField(items_.At(1)->status), clash);
    EXPECT_EQ(view_.Cell(2), clash);
    EXPECT_EQ(view_.Cell(3).rfind("Complete(", 0), 0u) << view_.Cell(3);
    EXPECT_EQ(view_.finalMessage, IDS_CONVERT_HAD_ERRORS);
    // The file holds the first item's second of sound, not the later three.
    EXPECT_EQ(Probe(Output(0)).at("duration_ts"), "22050");
}

TEST_F(ConversionRunTest, StopDuringTheSecondItemAbortsItAndLeavesTheThirdAlone) {
    Add(Source("short.wav", 0.5));
    Add(longSource_);
    Add(Source("after.wav", 0.5));
    ASSERT_TRUE(run_.Start());
    ASSERT_TRUE(view_.WaitForCell(1, "Init..."));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    run_.Stop();
    ASSERT_TRUE(view_.WaitForFinish());
    run_.Wait();

    EXPECT_EQ(view_.Cell(0).rfind("Complete(", 0), 0u);
    EXPECT_EQ(view_.Cell(1), LoadString(IDS_USER_ABORT));
    EXPECT_EQ(view_.Cell(2), "");
    EXPECT_EQ(view_.finalMessage, IDS_CONVERT_COMPLETE);
    EXPECT_TRUE(run_.StopRequested());
    // What was converted of the stopped item, 100 ms into it, is a valid file of that part.
    const auto stopped = Probe(Output(1));
    ASSERT_EQ(stopped.count("error"), 0u);
    const long samples = std::stol(stopped.at("duration_ts"));
    EXPECT_GT(samples, 0);
    EXPECT_LT(samples, 600L * 22050);
    EXPECT_FALSE(std::filesystem::exists(Output(2)));
    // The engine is reusable after a stop.
    ASSERT_TRUE(run_.Start());
    ASSERT_TRUE(view_.WaitForCell(2, "Complete("));
}

TEST_F(ConversionRunTest, ProgressNamesTheRunningItemWithItsGraphsPositionAndCountsEndedItems) {
    Add(Source("short.wav", 0.5));
    Add(longSource_);
    ASSERT_TRUE(run_.Start());
    ASSERT_TRUE(view_.WaitForCell(1, "Init..."));
    BatchProgress progress;
    for (int tries = 0; tries < 500; ++tries) {
        progress = {};
        run_.AddProgress(progress);
        if (!progress.running.empty() && progress.running[0].media.positionSeconds > 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(progress.finished, 1);
    ASSERT_EQ(progress.running.size(), 1u);
    EXPECT_EQ(progress.running[0].index, 1);
    EXPECT_NEAR(progress.running[0].media.durationSeconds, 600.0, 0.01);
    EXPECT_GT(progress.running[0].media.positionSeconds, 0.0);
    EXPECT_LT(progress.running[0].media.positionSeconds, 600.0);

    run_.Stop();
    ASSERT_TRUE(view_.WaitForFinish());
    run_.Wait();
    progress = {};
    run_.AddProgress(progress);
    EXPECT_EQ(progress.finished, 2);  // a stopped item has ended too
    EXPECT_TRUE(progress.running.empty());
}

TEST_F(ConversionRunTest, StartAndStopAreRefusedWhenTheyDoNotApply) {
    run_.Stop();  // no run: nothing happens
    EXPECT_FALSE(run_.StopRequested());
    Add(longSource_);
    ASSERT_TRUE(run_.Start());
    EXPECT_FALSE(run_.Start());
    run_.Stop();
    ASSERT_TRUE(view_.WaitForFinish());
    EXPECT_EQ(view_.finishCount, 1);
}

TEST_F(ConversionRunTest, TicksCountSecondsInTheRunningRowOnly) {
    Add(longSource_);
    ASSERT_TRUE(run_.Start());
    ASSERT_TRUE(view_.WaitForCell(0, "Init..."));
    run_.Tick();
    run_.Tick();
    EXPECT_EQ(view_.Cell(0), "Doing...1");
    run_.Stop();
    ASSERT_TRUE(view_.WaitForFinish());
    run_.Wait();
    run_.Tick();  // between runs: writes nothing
    EXPECT_EQ(view_.Cell(0), LoadString(IDS_USER_ABORT));
}

// A real "File Writer" that notes the thread on which it settles its file as the graph stops.
class ThreadNotingWriter : public media::FileWriter {
public:
    std::thread::id settledOn;

protected:
    void OnRelease() override {
        settledOn = std::this_thread::get_id();
        FileWriter::OnRelease();
    }
};

// The system's filters, with that writer in place of the usual one.
std::shared_ptr<media::FilterRegistry> RegistryWith(std::shared_ptr<ThreadNotingWriter> writer) {
    using namespace media;
    auto registry = std::make_shared<FilterRegistry>();
    FilterEntry entry = FileWriter::Entry();
    entry.factory = [writer] { return writer; };
    registry->Register(entry);
    for (const Guid& category : {CLSID_LegacyAmFilterCategory, CLSID_AudioCompressorCategory})
        for (const FilterEntry& system : SystemRegistry()->Entries(category)) registry->Register(system);
    return registry;
}

bool WaitForTemporaryFile(const std::string& folder) {
    for (int tries = 0; tries < 6000; ++tries) {
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().filename().string().find(".part-") != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST_F(ConversionRunTest, StopOnlySignalsTheWorkerStopsTheGraphAndKeepsTheFile) {
    auto writer = std::make_shared<ThreadNotingWriter>();
    ConvertEngine engine(shell_, RegistryWith(writer));
    ConversionRun run(items_, engine, view_);
    Add(longSource_);
    ASSERT_TRUE(run.Start());
    // Once the temporary file exists the graph is starting: the stop must end a running graph.
    ASSERT_TRUE(WaitForTemporaryFile(out_));
    run.Stop();
    ASSERT_TRUE(view_.WaitForFinish());
    run.Wait();
    EXPECT_NE(writer->settledOn, std::thread::id());
    EXPECT_NE(writer->settledOn, std::this_thread::get_id()) << "the stopping thread did the file work";
    EXPECT_EQ(view_.Cell(0), LoadString(IDS_USER_ABORT));
    EXPECT_EQ(Probe(Output(0)).count("error"), 0u);
    EXPECT_EQ(view_.keptBeside, "");
}

TEST_F(ConversionRunTest, AStoppedItemKeepsTheOlderFileAndPutsItsOutputBesideIt) {
    Add(longSource_);
    ASSERT_TRUE(MakeTone(Output(0), 8000, 1, "pcm_u8", 0.1));
    const std::string older = test::ReadBytes(Output(0));
    ASSERT_TRUE(run_.Start());
    ASSERT_TRUE(WaitForTemporaryFile(out_));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    run_.Stop();
    ASSERT_TRUE(view_.WaitForFinish());
    run_.Wait();
    EXPECT_EQ(test::ReadBytes(Output(0)), older);
    const std::string beside = out_ + "/long.out (stopped).wav";
    EXPECT_EQ(view_.keptBeside, beside);
    const auto kept = Probe(beside);
    ASSERT_EQ(kept.count("error"), 0u) << kept.at("error");
    EXPECT_EQ(kept.at("sample_rate"), "22050");
}

TEST_F(ConversionRunTest, AnItemWhoseGraphCannotStartLeavesTheOlderFileAndNoNewOne) {
    const std::string many = dir_.File("many.wav");
    ASSERT_TRUE(media::test::MakeManyChannels(many, 65));
    constexpr QualityInfo kStereo8k{1, 2, 8000, 32000, 4, 16, 0};
    Add(many, kStereo8k);
    Add(many, kStereo8k);
    WriteField(items_.At(1)->destName, "fresh.wav");
    ASSERT_TRUE(MakeTone(Output(0), 8000, 1, "pcm_u8", 0.1));
    const std::string older = test::ReadBytes(Output(0));
    RunToEnd();
    // More channels than the mixer takes: the text says so, not that the quality is invalid.
    EXPECT_EQ(view_.Cell(0), "Error: The source has 65 channels, more than this dest type and quality can take.");
    EXPECT_EQ(view_.Cell(1), "Error: The source has 65 channels, more than this dest type and quality can take.");
    EXPECT_EQ(test::ReadBytes(Output(0)), older);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(out_)) left.push_back(entry.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"many.out.wav"});
}

TEST_F(ConversionRunTest, ALongItemWritesTheSameFileWhetherItsEncoderHasACoreOfItsOwnOrNot) {
    const std::string source = Source("long.wav", 12);  // long enough to earn a second thread
    const std::pair<const char*, QualityInfo> types[] = {{"LAME MP3", {0x55, 2, 44100, 192 * 125, 1, 0, 0}},
                                                         {"FLAC", {0xF1AC, 2, 44100, 5 * 125, 1, 16, 0}},
                                                         {"M4A AAC", {0xFF, 2, 44100, 128 * 125, 1, 0, 0}},
                                                         {"WAV (MPEG Layer-3)", {0x55, 2, 44100, 16000, 1, 0, 12}}};
    for (const int spare : {0, 1}) {
        ItemList items;
        for (const auto& [type, quality] : types) {
            ConvertItem item = MakeSingleFileItem(source);
            WriteField(item.destPath, out_ + "/" + std::to_string(spare));
            WriteField(item.destName, std::string(type) + ".out");
            WriteField(item.destType, type);
            item.quality = quality;
            items.Append(item);
        }
        ConvertEngine engine(shell_);
        const auto cores = std::make_shared<CoreBudget>(spare);
        engine.ShareCores(cores);
        test::RecordingRunView view(items);
        ConversionRun run(items, engine, view);
        ASSERT_TRUE(run.Start());
        bool lent = false;
        while (!view.WaitForFinish(0)) {
            lent = lent || cores->Free() < spare;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        run.Wait();
        EXPECT_EQ(view.finalMessage, IDS_CONVERT_COMPLETE) << spare;
        EXPECT_EQ(lent, spare > 0) << "the free core was " << (lent ? "" : "not ") << "used";
        EXPECT_EQ(cores->Free(), spare) << "the core was not given back";
    }
    for (const auto& [type, quality] : types) {
        const std::string name = std::string("/") + type + ".out";
        const std::string alone = test::ReadBytes(out_ + "/0" + name);
        EXPECT_GT(alone.size(), 10000u) << type;
        EXPECT_TRUE(alone == test::ReadBytes(out_ + "/1" + name)) << type << " differs with a second thread";
    }
}

class QualityChoiceTest : public ConversionRunTest {
protected:
    // One byte per second more than the encoder offers.
    static constexpr QualityInfo kOffByOne{1, 1, 22050, 44101, 2, 16, 0};
};

TEST_F(QualityChoiceTest, EncoderDefaultRunsTheItemAndKeepsItsQuality) {
    Add(Source("a.wav", 1), kOffByOne);
    view_.invalidQualityAnswer = InvalidQualityChoice::UseEncoderDefault;
    RunToEnd();
    EXPECT_EQ(view_.invalidQualityAsked, 1);
    EXPECT_EQ(view_.Cell(0).rfind("Complete(", 0), 0u);
    EXPECT_EQ(+items_.At(0)->quality.nAvgBytesPerSec, 44101u);  // + copies the packed field
    EXPECT_EQ(Probe(Output(0)).count("error"), 0u);
}

TEST_F(QualityChoiceTest, AnotherQualityIsStoredInTheItemAndUsed) {
    Add(Source("a.wav", 1), kOffByOne);
    view_.invalidQualityAnswer = InvalidQualityChoice::ChooseAnother;
    view_.qualityAnswer = kMono22k;
    RunToEnd();
    EXPECT_EQ(view_.qualityAsked, 1);
    EXPECT_TRUE(view_.askedWithEncoder);
    EXPECT_EQ(+items_.At(0)->quality.nAvgBytesPerSec, 44100u);
    EXPECT_EQ(Probe(Output(0)).at("sample_rate"), "22050");
}

TEST_F(QualityChoiceTest, SkippingOrCancellingFailsTheItemWith138) {
    Add(Source("a.wav", 1), kOffByOne);
    Add(Source("b.wav", 1), kOffByOne);
    view_.invalidQualityAnswer = InvalidQualityChoice::SkipItem;
    RunToEnd();
    EXPECT_EQ(view_.Cell(0), LoadString(IDS_DEST_QUALITY_INVALID));
    EXPECT_EQ(view_.finalMessage, IDS_CONVERT_HAD_ERRORS);

    view_.invalidQualityAnswer = InvalidQualityChoice::ChooseAnother;
    view_.qualityAnswer.reset();  // the user closes the quality list
    view_.finishCount = 0;
    RunToEnd();
    EXPECT_EQ(ReadField(items_.At(1)->status), LoadString(IDS_DEST_QUALITY_INVALID));
    EXPECT_FALSE(std::filesystem::exists(Output(1)));
}

}  // namespace
}  // namespace tessival
