// How graphs of the WAVE path are built, stopped and failed.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <future>

#include "platform/media/MediaFixtures.h"
#include "platform/media/WaveFileSupport.h"
#include "platform/media/WaveGraph.h"
#include "support/TempDir.h"

namespace tessival::media {
namespace {

using namespace std::chrono_literals;
using test::PinOf;
using test::WaveGraph;
using tessival::test::ReadBytes;
using tessival::test::TempDir;
using tessival::test::WriteBytes;

std::vector<std::string> FilterNames(FilterGraph& graph) {
    std::shared_ptr<IEnumFilters> filters;
    graph.EnumFilters(filters);
    std::vector<std::string> names;
    for (const auto& filter : filters->All()) {
        FILTER_INFO info;
        filter->QueryFilterInfo(info);
        names.push_back(info.achName);
    }
    return names;
}

std::shared_ptr<IBaseFilter> PeerFilter(const std::shared_ptr<IPin>& pin) {
    std::shared_ptr<IPin> peer;
    if (!pin || FAILED(pin->ConnectedTo(peer))) return nullptr;
    PIN_INFO info;
    peer->QueryPinInfo(info);
    return info.pFilter;
}

std::size_t FilesIn(const std::string& dir) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir), {}));
}

TEST(WaveGraphBehaviourTest, RenderOfTheEncoderUsesExactlyTheSinkPairInTheGraph) {
    TempDir dir;
    const std::string source = dir.File("in.wav");
    ASSERT_TRUE(test::MakeTone(source, 22050, 1, "pcm_s16le", 0.3));
    WaveGraph g(source, dir.File("out.wav"));
    ASSERT_EQ(g.connectResult, S_OK);
    const auto before = FilterNames(*g.graph);
    ASSERT_EQ(g.graph->Render(PinOf(g.encoder, PINDIR_OUTPUT)), S_OK);
    EXPECT_EQ(FilterNames(*g.graph), before);
    EXPECT_EQ(PeerFilter(PinOf(g.encoder, PINDIR_OUTPUT)), g.wavDest);
    EXPECT_EQ(PeerFilter(PinOf(g.wavDest, PINDIR_OUTPUT)), g.fileWriter);
}

TEST(WaveGraphBehaviourTest, RenderFileBuildsAPlaybackGraphAndRunsIt) {
    TempDir dir;
    const std::string pcm = dir.File("pcm.wav"), adpcm = dir.File("adpcm.wav");
    ASSERT_TRUE(test::MakeTone(pcm, 44100, 2, "pcm_s16le", 0.3));
    ASSERT_TRUE(test::MakeTone(adpcm, 22050, 1, "adpcm_ima_wav", 0.3));

    auto graph = CreateFilterGraph();
    ASSERT_EQ(graph->RenderFile(pcm, ""), S_OK);
    EXPECT_EQ(FilterNames(*graph), (std::vector<std::string>{"Audio Renderer", "Wave Parser", pcm}));
    std::shared_ptr<IBaseFilter> source;
    ASSERT_EQ(graph->FindFilterByName(pcm, source), S_OK);
    PIN_INFO info;
    PinOf(source, PINDIR_OUTPUT)->QueryPinInfo(info);
    EXPECT_EQ(info.achName, "Output");
    ASSERT_EQ(graph->Run(), S_OK);
    long code = 0;
    EXPECT_EQ(graph->WaitForCompletion(INFINITE, code), S_OK);
    REFTIME duration = 0;
    EXPECT_EQ(graph->get_Duration(duration), S_OK);
    EXPECT_NEAR(duration, 0.3, 0.01);

    auto graph2 = CreateFilterGraph();
    ASSERT_EQ(graph2->RenderFile(adpcm, ""), S_OK);
    EXPECT_EQ(FilterNames(*graph2),
              (std::vector<std::string>{"Audio Renderer", "ACM Wrapper", "Wave Parser", adpcm}));
}

TEST(WaveGraphBehaviourTest, DamagedAndMissingInputsFailCleanly) {
    TempDir dir;
    const std::string good = dir.File("good.wav");
    ASSERT_TRUE(test::MakeTone(good, 8000, 1, "pcm_s16le", 0.5));
    const std::string bytes = ReadBytes(good);
    std::string noChannels = bytes;
    noChannels[22] = noChannels[23] = 0;
    const std::pair<std::string, std::string> inputs[] = {
        {"empty.wav", ""},
        {"header-only.wav", bytes.substr(0, 30)},
        {"garbage.wav", std::string(5000, '\x5a')},
        {"no-channels.wav", noChannels},
        {"riff-without-data.wav", bytes.substr(0, 36)},
    };
    for (const auto& [name, content] : inputs) {
        SCOPED_TRACE(name);
        const std::string path = dir.File(name);
        WriteBytes(path, content);
        WaveGraph g(path, dir.File("out-" + name));
        EXPECT_TRUE(FAILED(g.connectResult));
        EXPECT_TRUE(FAILED(g.Convert(nullptr)));
        EXPECT_TRUE(FAILED(CreateFilterGraph()->RenderFile(path, "")));
        EXPECT_FALSE(std::filesystem::exists(dir.File("out-" + name)));
    }
    std::shared_ptr<IBaseFilter> filter;
    EXPECT_EQ(CreateFilterGraph()->AddSourceFilter(dir.File("missing.wav"), "x", filter), E_FILE_NOT_FOUND);

    // A data chunk cut short converts what is there.
    const std::string cut = dir.File("cut.wav");
    WriteBytes(cut, bytes.substr(0, bytes.size() / 2));
    WaveGraph g(cut, dir.File("cut-out.wav"));
    ASSERT_EQ(g.Convert(nullptr), S_OK);
    const long frames = std::stol(test::Probe(dir.File("cut-out.wav"))["duration_ts"]);
    EXPECT_NEAR(frames, 2000, 30);
}

TEST(WaveGraphBehaviourTest, StopDuringALongConversionKeepsAValidFileOfWhatWasConverted) {
    TempDir dir;
    const std::string source = dir.File("long.wav");
    ASSERT_EQ(test::RunProcess("sox -n -r 44100 -c 2 -b 16 " + source + " synth 600 sine 440").exitCode, 0);
    const std::string out = dir.File("out.wav");
    WaveGraph g(source, out);
    const WAVEFORMATEX format = MakePcmFormat(22050, 1, 8);
    ASSERT_TRUE(test::ApplyFormat(g.encoder, format));
    ASSERT_EQ(g.graph->Render(PinOf(g.encoder, PINDIR_OUTPUT)), S_OK);
    ASSERT_EQ(g.graph->Run(), S_OK);
    auto waiter = std::async(std::launch::async, [&] {
        long code = 0;
        const HRESULT hr = g.graph->WaitForCompletion(INFINITE, code);
        return std::make_pair(hr, std::chrono::steady_clock::now());
    });
    std::this_thread::sleep_for(100ms);
    g.graph->Pause();
    g.graph->Stop();
    ASSERT_EQ(waiter.wait_for(5s), std::future_status::ready);
    // How promptly is measured by bench/StopLatencyBench; here only that the wait ends.
    EXPECT_EQ(waiter.get().first, VFW_E_WRONG_STATE);

    const std::string bytes = ReadBytes(out);
    EXPECT_TRUE(test::SizesAreConsistent(bytes));
    auto probe = test::Probe(out);
    ASSERT_EQ(probe.count("error"), 0u) << probe["error"];
    const long frames = std::stol(probe["duration_ts"]);
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, 600L * 22050);
    EXPECT_EQ(FilesIn(dir.Path()), 2u) << "a temporary file was left behind";
}

TEST(WaveGraphBehaviourTest, AFailedConversionLeavesNoFileAndTheOlderOneIntact) {
    TempDir dir;
    const std::string source = dir.File("in.wav");
    ASSERT_TRUE(test::MakeTone(source, 22050, 1, "adpcm_ms", 2.0));
    std::string bytes = ReadBytes(source);
    const auto data = test::FindChunk(bytes, "data");
    ASSERT_NE(data.body, std::string::npos);
    // Every block header with an impossible predictor: the decoder refuses them all, and a
    // stream of which nothing decodes fails (damage here and there is only skipped).
    for (std::size_t i = data.body; i < bytes.size(); ++i) bytes[i] = '\xff';
    WriteBytes(source, bytes);

    const std::string older = dir.File("older.wav");
    WriteBytes(older, "older content");
    {
        WaveGraph g(source, older);
        EXPECT_EQ(g.Convert(nullptr), VFW_E_INVALID_FILE_FORMAT);
    }
    EXPECT_EQ(ReadBytes(older), "older content");
    {
        WaveGraph g(source, dir.File("new.wav"));
        EXPECT_TRUE(FAILED(g.Convert(nullptr)));
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("new.wav")));
    EXPECT_EQ(FilesIn(dir.Path()), 2u);
}

TEST(WaveGraphBehaviourTest, WriteFailuresEndTheGraphWithAnError) {
    TempDir dir;
    const std::string source = dir.File("in.wav");
    ASSERT_TRUE(test::MakeTone(source, 44100, 2, "pcm_s16le", 3.0));
    {
        WaveGraph g(source, dir.File("no-such-folder/out.wav"));
        EXPECT_EQ(g.Convert(nullptr), E_FILE_NOT_FOUND);
    }
    // A file size limit makes writes fail part way, as a full disk would.
    const std::string out = dir.File("out.wav");
    WriteBytes(out, "older content");
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    HRESULT hr;
    {
        WaveGraph g(source, out);
        hr = g.Convert(nullptr);
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(hr, HResultFromErrno(EFBIG));
    EXPECT_EQ(ReadBytes(out), "older content");
    EXPECT_EQ(FilesIn(dir.Path()), 2u);
}

TEST(WaveGraphBehaviourTest, CompressedFormatsAreWrittenWithFactAndPadding) {
    TempDir dir;
    const std::string source = dir.File("gsm.wav");
    // GSM blocks are 65 bytes: an odd number of them makes the data chunk odd-sized.
    ASSERT_TRUE(test::MakeTone(source, 8000, 1, "libgsm_ms", 0.12, "-ar 8000"));
    auto graph = CreateFilterGraph();
    std::shared_ptr<IBaseFilter> src;
    ASSERT_EQ(graph->AddSourceFilter(source, source, src), S_OK);
    auto parser = test::AddByName(*graph, CLSID_LegacyAmFilterCategory, "Wave Parser");
    std::shared_ptr<IBaseFilter> wavDest, writer;
    ASSERT_EQ(CoCreateInstance(CLSID_WavDest, wavDest), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_FileWriter, writer), S_OK);
    graph->AddFilter(wavDest, "WAV Dest");
    graph->AddFilter(writer, "File Writer");
    const std::string out = dir.File("out.wav");
    QueryInterface<IFileSinkFilter2>(writer)->SetFileName(out, nullptr);
    ASSERT_EQ(graph->ConnectDirect(PinOf(src, PINDIR_OUTPUT), PinOf(parser, PINDIR_INPUT), nullptr), S_OK);
    ASSERT_EQ(graph->ConnectDirect(PinOf(parser, PINDIR_OUTPUT), PinOf(wavDest, PINDIR_INPUT), nullptr), S_OK);
    ASSERT_EQ(graph->Render(PinOf(wavDest, PINDIR_OUTPUT)), S_OK);
    ASSERT_EQ(graph->Run(), S_OK);
    long code = 0;
    ASSERT_EQ(graph->WaitForCompletion(INFINITE, code), S_OK);

    const std::string bytes = ReadBytes(out);
    const auto data = test::FindChunk(bytes, "data");
    const auto fact = test::FindChunk(bytes, "fact");
    ASSERT_NE(fact.body, std::string::npos);
    EXPECT_EQ(data.size % 65, 0u);
    EXPECT_EQ(data.size & 1, 1u) << "the fixture should give an odd data size";
    EXPECT_TRUE(test::SizesAreConsistent(bytes));
    EXPECT_EQ(test::U32At(bytes, fact.body), data.size / 65 * 320);
    auto probe = test::Probe(out);
    EXPECT_EQ(probe["codec_name"], "gsm_ms");
    EXPECT_EQ(test::FindChunk(bytes, "fmt ").size, 20u);
}

}  // namespace
}  // namespace tessival::media
