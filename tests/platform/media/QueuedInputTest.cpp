// A transform that takes its input through a queue and works on a thread of its own: what it
// writes, and how the end, failures on either side and Stop reach both threads.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "platform/media/FakeFilters.h"
#include "platform/media/MediaFixtures.h"
#include "platform/media/WaveGraph.h"
#include "support/TempDir.h"

namespace tessival::media {
namespace {

using namespace std::chrono_literals;
using test::PinOf;

// FakeSource's samples are 100 bytes of 8 kHz 16-bit mono: the queue holds two of them.
constexpr REFERENCE_TIME kTwoFakeSamples = kUnitsPerSecond * 200 / 16000;

struct QueuedGraph {
    std::shared_ptr<FilterGraph> graph = CreateFilterGraph(std::make_shared<FilterRegistry>());
    std::shared_ptr<test::FakeSource> source;
    std::shared_ptr<test::FakePassThrough> queued = std::make_shared<test::FakePassThrough>();
    std::shared_ptr<test::FakeSink> sink = std::make_shared<test::FakeSink>();

    explicit QueuedGraph(int samples) : source(std::make_shared<test::FakeSource>(samples)) {
        source->numbered = true;
        graph->AddFilter(source, "Source");
        graph->AddFilter(queued, "Queued");
        graph->AddFilter(sink, "Sink");
        graph->ConnectDirect(PinOf(source, PINDIR_OUTPUT), PinOf(queued, PINDIR_INPUT), nullptr);
        graph->ConnectDirect(PinOf(queued, PINDIR_OUTPUT), PinOf(sink, PINDIR_INPUT), nullptr);
        queued->SetInputQueue(kTwoFakeSamples);
    }
};

TEST(QueuedInputTest, TheEndAndFailuresOfEitherSideComeThroughInOrder) {
    struct Case {
        const char* name;
        int sourceFailsAt;
        HRESULT sinkFails;
        HRESULT ended;
        int received;   // by the sink, once the graph has stopped
        int sentAtMost;  // by the source
    };
    const Case cases[] = {
        {"whole stream", -1, S_OK, S_OK, 300, 300},
        // What was queued before the source failed still reaches the sink.
        {"source fails", 120, S_OK, VFW_E_INVALID_FILE_FORMAT, 120, 120},
        // The source hears of it at its next sample: one in the sink, two queued, one waiting.
        {"sink fails", -1, STG_E_MEDIUMFULL, STG_E_MEDIUMFULL, 1, 4},
    };
    for (const Case& c : cases) {
        QueuedGraph g(300);
        g.source->failAt = c.sourceFailsAt;
        g.sink->failWith = c.sinkFails;
        ASSERT_EQ(g.graph->Run(), S_OK) << c.name;
        long code = 0;
        EXPECT_EQ(g.graph->WaitForCompletion(INFINITE, code), c.ended) << c.name;
        EXPECT_EQ(code, SUCCEEDED(c.ended) ? EC_COMPLETE : EC_ERRORABORT) << c.name;
        g.graph->Stop();
        EXPECT_EQ(g.sink->received, c.received) << c.name;
        EXPECT_LE(g.source->sent, c.sentAtMost) << c.name;
        EXPECT_TRUE(g.sink->inOrder) << c.name;
    }
}

TEST(QueuedInputTest, StopWhileSamplesWaitEndsBothThreadsAndKeepsWhatWasQueued) {
    QueuedGraph g(-1);
    g.sink->pause = 2ms;  // the slow side: the queue stays full and the source waits for room
    ASSERT_EQ(g.graph->Run(), S_OK);
    auto waiter = std::async(std::launch::async, [&] {
        long code = 0;
        return g.graph->WaitForCompletion(INFINITE, code);
    });
    std::this_thread::sleep_for(50ms);
    // The program's stop path: pause, then stop, from another thread.
    g.graph->Pause();
    g.graph->Stop();
    ASSERT_EQ(waiter.wait_for(2s), std::future_status::ready);
    EXPECT_EQ(waiter.get(), VFW_E_WRONG_STATE);
    const int sent = g.source->sent, received = g.sink->received;
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(g.source->sent, sent) << "the source went on after Stop";
    EXPECT_EQ(g.sink->received, received) << "the queue's thread went on after Stop";
    EXPECT_GT(sent, 3);
    EXPECT_EQ(received, sent) << "samples queued before the stop were lost";
    EXPECT_TRUE(g.sink->inOrder);
}

TEST(QueuedInputTest, RealEncodersWriteTheSameBytesThroughTheQueue) {
    tessival::test::TempDir dir;
    const std::string source = dir.File("in.wav");
    ASSERT_TRUE(test::MakeTone(source, 44100, 2, "pcm_s16le", 3.0));
    const WAVEFORMATEX mono8 = MakePcmFormat(22050, 1, 8);
    const std::pair<const char*, const WAVEFORMATEX*> encoders[] = {
        {"PCM", &mono8}, {"MPEG Layer-3", nullptr}, {"IMA ADPCM", nullptr}, {"Windows Media Audio V2", nullptr}};
    for (const auto& [name, format] : encoders) {
        std::string written[2];
        for (const bool queued : {false, true}) {
            const std::string out = dir.File(std::string(queued ? "queued-" : "plain-") + name + ".wav");
            test::WaveGraph g(source, out, name);
            // A queue of 10 ms: the sides wait for each other all the time.
            if (queued) {
                ASSERT_EQ(QueryInterface<IQueuedInput>(g.encoder)->SetInputQueue(kUnitsPerSecond / 100), S_OK);
            }
            ASSERT_EQ(g.Convert(format), S_OK) << name;
            written[queued] = tessival::test::ReadBytes(out);
        }
        EXPECT_GT(written[0].size(), 5000u) << name;
        EXPECT_TRUE(written[0] == written[1]) << name << " differs through the queue";
    }
}

}  // namespace
}  // namespace tessival::media
