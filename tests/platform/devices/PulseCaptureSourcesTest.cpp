#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/devices/PulseCaptureSources.h"
#include "support/PulseServer.h"

namespace tessival {
namespace {

using namespace std::chrono_literals;

// Records for about `seconds` and returns the samples as floats (the sine source is mono).
std::vector<float> Record(CaptureStream& stream, double seconds, int rate) {
    std::vector<float> samples;
    std::vector<std::uint8_t> bytes;
    const auto wanted = static_cast<std::size_t>(seconds * rate);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (samples.size() < wanted && std::chrono::steady_clock::now() < deadline) {
        if (stream.Read(bytes, 100ms) != CaptureStream::ReadResult::Data) continue;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            std::int16_t value;
            std::memcpy(&value, &bytes[i], 2);
            samples.push_back(value / 32768.0f);
        }
    }
    return samples;
}

TEST(PulseCaptureSources, ListsEverySourceOfTheServerInCreationOrderMonitorsIncluded) {
    test::PulseServer server(440);
    ASSERT_TRUE(server.Running());
    PulseCaptureSources sources;
    const auto list = sources.ListSources();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].name, "sine");
    EXPECT_EQ(list[0].description, "Sine source at 440 Hz");
    EXPECT_FALSE(list[0].isMonitor);
    EXPECT_EQ(list[0].nativeFormat.sampleRate, 44100u);
    EXPECT_EQ(list[0].nativeFormat.channels, 1);
    EXPECT_TRUE(list[0].ports.empty());
    EXPECT_EQ(list[1].name, "nullsink.monitor");
    EXPECT_EQ(list[1].description, "Monitor of Null Output");
    EXPECT_TRUE(list[1].isMonitor);
    EXPECT_EQ(sources.ListSources()[0].name, "sine");  // the same order on every call

    // Virtual sources have no ports: the server refuses a switch, and says so promptly.
    EXPECT_FALSE(sources.SetActivePort("sine", "analog-input-mic"));
    EXPECT_FALSE(sources.SetActivePort("no-such-source", "analog-input-mic"));
}

TEST(PulseCaptureSources, RecordsTheSourceInTheAskedFormat) {
    test::PulseServer server(1000);
    ASSERT_TRUE(server.Running());
    PulseCaptureSources sources;
    auto stream = sources.OpenStream("sine", CaptureFormat{22050, 1, 16, false}, 22050 * 2 * 4);
    ASSERT_NE(stream, nullptr);
    const auto samples = Record(*stream, 1.0, 22050);
    ASSERT_GE(samples.size(), 22050u);
    EXPECT_NEAR(test::ToneFrequency(samples, 22050, 1), 1000.0, 5.0);
    EXPECT_EQ(stream->DroppedBytes(), 0u);
    EXPECT_EQ(stream->EndReason(), "");
}

TEST(PulseCaptureSources, ARecordingEndsWithAReasonWhenTheServerGoesAway) {
    test::PulseServer server;
    ASSERT_TRUE(server.Running());
    PulseCaptureSources sources;
    auto stream = sources.OpenStream("sine", CaptureFormat{44100, 1, 16, false}, 44100 * 2 * 4);
    ASSERT_NE(stream, nullptr);
    EXPECT_FALSE(Record(*stream, 0.2, 44100).empty());
    server.Kill();
    std::vector<std::uint8_t> bytes;
    CaptureStream::ReadResult result = CaptureStream::ReadResult::Data;
    for (int i = 0; i < 100 && result != CaptureStream::ReadResult::Ended; ++i) result = stream->Read(bytes, 100ms);
    EXPECT_EQ(result, CaptureStream::ReadResult::Ended);
    EXPECT_EQ(stream->EndReason(), "the sound server went away");
}

TEST(PulseCaptureSources, WithoutAServerThereAreNoSourcesAndNothingWaits) {
    test::NoPulseServer none;
    PulseCaptureSources sources;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(sources.ListSources().empty());
    EXPECT_FALSE(sources.SetActivePort("sine", "x"));
    auto stream = sources.OpenStream("sine", CaptureFormat{}, 4096);
    if (stream) {
        std::vector<std::uint8_t> bytes;
        CaptureStream::ReadResult result = CaptureStream::ReadResult::Timeout;
        for (int i = 0; i < 50 && result == CaptureStream::ReadResult::Timeout; ++i) result = stream->Read(bytes, 100ms);
        EXPECT_EQ(result, CaptureStream::ReadResult::Ended);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

}  // namespace
}  // namespace tessival
