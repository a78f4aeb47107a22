// What "File Writer" leaves on disk when a graph completes, fails to start, fails, or is stopped.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <thread>

#include "FakeFilters.h"
#include "platform/media/MediaFixtures.h"
#include "platform/media/WaveFileSupport.h"
#include "platform/media/WaveGraph.h"
#include "platform/media/filters/encoders/FileEncoders.h"
#include "support/TempDir.h"

namespace tessival::media {
namespace {

using namespace std::chrono_literals;
using test::PinOf;
using test::WaveGraph;
using tessival::test::FileMode;
using tessival::test::FileNames;
using tessival::test::ReadBytes;
using tessival::test::TempDir;
using tessival::test::WriteBytes;

class FileWriterOutcome : public ::testing::Test {
protected:
    // Ten minutes: long enough to be stopped in the middle. Made once.
    static void SetUpTestSuite() {
        longDir_ = std::make_unique<TempDir>();
        ASSERT_EQ(test::RunProcess("sox -n -r 44100 -c 2 -b 16 " + LongSource() + " synth 600 sine 440").exitCode, 0);
    }
    static void TearDownTestSuite() { longDir_.reset(); }
    static std::string LongSource() { return longDir_->File("long.wav"); }

    // Runs the long conversion into `out` for a moment, then stops it as the Stop button does.
    static std::string StoppedRun(const std::string& out) {
        WaveGraph g(LongSource(), out);
        EXPECT_TRUE(test::ApplyFormat(g.encoder, MakePcmFormat(22050, 1, 8)));
        EXPECT_EQ(g.graph->Render(PinOf(g.encoder, PINDIR_OUTPUT)), S_OK);
        EXPECT_EQ(g.graph->Run(), S_OK);
        std::this_thread::sleep_for(100ms);
        g.graph->Pause();
        g.graph->Stop();
        return QueryInterface<IStoppedOutputSink>(g.fileWriter)->OutputKeptBeside();
    }

    static inline std::unique_ptr<TempDir> longDir_;
    TempDir dir;
};

TEST_F(FileWriterOutcome, AGraphThatFailsToStartLeavesNoFileAndTheOlderOneIntact) {
    const std::string source = dir.File("many.wav");
    ASSERT_TRUE(test::MakeManyChannels(source, 65));
    const std::string older = dir.File("older.wav");
    WriteBytes(older, "older content");
    for (const std::string& out : {older, dir.File("new.wav")}) {
        SCOPED_TRACE(out);
        WaveGraph g(source, out);
        ASSERT_EQ(g.connectResult, S_OK);
        ASSERT_TRUE(test::ApplyFormat(g.encoder, MakePcmFormat(8000, 2, 16)));
        ASSERT_EQ(g.graph->Render(PinOf(g.encoder, PINDIR_OUTPUT)), S_OK);
        EXPECT_TRUE(FAILED(g.graph->Run()));
        g.graph->Stop();
    }
    EXPECT_EQ(ReadBytes(older), "older content");
    EXPECT_EQ(FileNames(dir.Path()), (std::set<std::string>{"many.wav", "older.wav"}));
}

TEST_F(FileWriterOutcome, AGraphStoppedWithoutHavingRunLeavesNoFile) {
    WaveGraph g(LongSource(), dir.File("out.wav"));
    ASSERT_EQ(g.graph->Render(PinOf(g.encoder, PINDIR_OUTPUT)), S_OK);
    ASSERT_EQ(g.graph->Pause(), S_OK);
    g.graph->Stop();
    EXPECT_TRUE(FileNames(dir.Path()).empty());
}

TEST_F(FileWriterOutcome, AStopNeverReplacesAnOlderFileItKeepsThePartOutputBesideIt) {
    const std::string out = dir.File("song.wav");
    WriteBytes(out, "older content");
    EXPECT_EQ(StoppedRun(out), dir.File("song (stopped).wav"));
    EXPECT_EQ(StoppedRun(out), dir.File("song (stopped 2).wav"));
    EXPECT_EQ(ReadBytes(out), "older content");
    EXPECT_EQ(FileNames(dir.Path()), (std::set<std::string>{"song.wav", "song (stopped).wav", "song (stopped 2).wav"}));
    for (const char* kept : {"song (stopped).wav", "song (stopped 2).wav"}) {
        SCOPED_TRACE(kept);
        EXPECT_TRUE(test::SizesAreConsistent(ReadBytes(dir.File(kept))));
        auto probe = test::Probe(dir.File(kept));
        ASSERT_EQ(probe.count("error"), 0u) << probe["error"];
        EXPECT_EQ(probe["sample_rate"], "22050");
        EXPECT_GT(std::stol(probe["duration_ts"]), 0);
    }
    // With no file of its name, the stopped output takes it.
    EXPECT_EQ(StoppedRun(dir.File("fresh.wav")), "");
    EXPECT_EQ(test::Probe(dir.File("fresh.wav"))["codec_name"], "pcm_u8");
}

TEST_F(FileWriterOutcome, AReplacedFileKeepsItsModeAndStaleTemporariesAreCleared) {
    const std::string source = dir.File("in.wav");
    ASSERT_TRUE(test::MakeTone(source, 22050, 1, "pcm_s16le", 0.5));
    const std::string out = dir.File("out.wav");
    WriteBytes(out, "older content");
    ASSERT_EQ(::chmod(out.c_str(), 0600), 0);
    // Left by a conversion that was killed.
    WriteBytes(dir.File("out.wav.part-0badc0de"), "half");
    {
        WaveGraph g(source, out);
        ASSERT_EQ(g.Convert(nullptr), S_OK);
    }
    EXPECT_EQ(FileMode(out), 0600u);
    EXPECT_EQ(test::Probe(out)["sample_rate"], "22050");
    EXPECT_EQ(FileNames(dir.Path()), (std::set<std::string>{"in.wav", "out.wav"}));
}

TEST_F(FileWriterOutcome, AFailedCommitFailsTheGraphWithTheSystemsReason) {
    const std::string source = dir.File("in.wav");
    ASSERT_TRUE(test::MakeTone(source, 22050, 1, "pcm_s16le", 0.5));
    // A folder of the destination's name cannot be replaced by the finished file.
    const std::string out = dir.File("out.wav");
    std::filesystem::create_directories(out + "/inside");
    WaveGraph g(source, out);
    EXPECT_EQ(g.Convert(nullptr), HResultFromErrno(EISDIR));
    EXPECT_TRUE(std::filesystem::is_directory(out + "/inside"));
    EXPECT_EQ(FileNames(dir.Path()), (std::set<std::string>{"in.wav", "out.wav"}));
}

// A file type's encoder and muxer sink fed by a source that sends a short buffer every `pause`, run
// until `stopWhen` returns and stopped as the Stop button does; what the File Writer kept beside `out`
// and how many frames the source sent.
struct StoppedRunResult {
    std::string kept;
    std::int64_t framesSent;
};

StoppedRunResult StoppedFileTypeRun(const char* encoder, const char* sink, const std::string& out,
                                    std::chrono::milliseconds pause,
                                    const std::function<void(const test::FakeSource&)>& stopWhen) {
    auto graph = CreateFilterGraph(SystemRegistry());
    auto source = std::make_shared<test::FakeSource>(-1, pause);
    graph->AddFilter(source, "Source");
    auto encode = test::AddByName(*graph, CLSID_FileEncoderCategory, encoder);
    auto mux = test::AddByName(*graph, CLSID_LegacyAmFilterCategory, sink);
    std::shared_ptr<IBaseFilter> writer;
    graph->Registry()->CreateInstance(CLSID_FileWriter, writer);
    graph->AddFilter(writer, "File Writer");
    EXPECT_EQ(QueryInterface<IFileSinkFilter2>(writer)->SetFileName(out, nullptr), S_OK);
    EXPECT_EQ(graph->ConnectDirect(PinOf(source, PINDIR_OUTPUT), PinOf(encode, PINDIR_INPUT), nullptr), S_OK);
    EXPECT_EQ(graph->ConnectDirect(PinOf(encode, PINDIR_OUTPUT), PinOf(mux, PINDIR_INPUT), nullptr), S_OK);
    EXPECT_EQ(graph->ConnectDirect(PinOf(mux, PINDIR_OUTPUT), PinOf(writer, PINDIR_INPUT), nullptr), S_OK);
    EXPECT_EQ(graph->Run(), S_OK);
    stopWhen(*source);
    graph->Pause();
    graph->Stop();
    // The source's buffers are 100 bytes of 16-bit mono.
    return {QueryInterface<IStoppedOutputSink>(writer)->OutputKeptBeside(), source->sent * 50};
}

TEST_F(FileWriterOutcome, AFileTypeStoppedBeforeAnyAudioCameKeepsNothingAndOneStoppedLaterAPlayableFileOfAllItWasSent) {
    struct Pair {
        const char* encoder;
        const char* sink;
        const char* extension;
        const char* codec;
        // FFmpeg's MP4 reader decodes a short last frame whole: the file says the exact length, a
        // decode may give up to a frame more.
        bool lengthInContainer;
    };
    for (const Pair& pair : {Pair{"LAME MP3 Encoder", "MP3 File Dest", "mp3", "mp3", false},
                             Pair{"FLAC Encoder", "FLAC File Dest", "flac", "flac", false},
                             Pair{"Vorbis Encoder", "Ogg File Dest", "ogg", "vorbis", false},
                             Pair{"Opus Encoder", "Ogg File Dest", "opus", "opus", false},
                             Pair{"AAC Encoder", "M4A File Dest", "m4a", "aac", true}}) {
        SCOPED_TRACE(pair.encoder);
        TempDir folder;
        const std::string out = folder.File(std::string("song.") + pair.extension);
        WriteBytes(out, "older content");
        // Stopped before the first buffer, which comes 500 ms after the start.
        const StoppedRunResult early =
            StoppedFileTypeRun(pair.encoder, pair.sink, out, 500ms, [](const test::FakeSource&) {});
        ASSERT_EQ(early.framesSent, 0);
        EXPECT_EQ(early.kept, "");
        EXPECT_EQ(ReadBytes(out), "older content");
        EXPECT_EQ(FileNames(folder.Path()), (std::set<std::string>{std::string("song.") + pair.extension}));

        // Seconds of audio: the stopped output is kept beside the older file, plays, and holds every
        // frame sent, including those the encoder still held back when the stop came.
        const StoppedRunResult late =
            StoppedFileTypeRun(pair.encoder, pair.sink, out, 1ms, [](const test::FakeSource&) {
                std::this_thread::sleep_for(1000ms);
            });
        EXPECT_EQ(late.kept, folder.File(std::string("song (stopped).") + pair.extension));
        EXPECT_EQ(ReadBytes(out), "older content");
        auto probe = test::Probe(late.kept);
        ASSERT_EQ(probe.count("error"), 0u) << probe["error"];
        EXPECT_EQ(probe["codec_name"], pair.codec);
        const int rate = std::stoi(probe["sample_rate"]);
        const std::int64_t sent = (late.framesSent * rate + 4000) / 8000;  // as the encoder resamples, rounded
        const std::int64_t decoded = static_cast<std::int64_t>(test::DecodeFloat(late.kept, rate, 1).size());
        if (pair.lengthInContainer) {
            EXPECT_EQ(std::stoll(probe["duration_ts"]), sent);
            EXPECT_GE(decoded, sent);
            EXPECT_LT(decoded, sent + 1024);
        } else {
            EXPECT_EQ(decoded, sent);
        }
    }
}

}  // namespace
}  // namespace tessival::media
