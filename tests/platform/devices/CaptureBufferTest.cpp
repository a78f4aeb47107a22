#include <gtest/gtest.h>

#include <thread>

#include "platform/devices/CaptureBuffer.h"

namespace tessival {
namespace {

using namespace std::chrono_literals;

std::vector<std::uint8_t> Bytes(std::size_t count, std::uint8_t value) { return std::vector<std::uint8_t>(count, value); }

TEST(CaptureBuffer, ASlowReaderLosesOnlyWhatDoesNotFitAndTheLossIsCounted) {
    CaptureBuffer buffer(10, 4);  // room for two 4-byte frames
    buffer.Push(Bytes(4, 1));
    buffer.Push(Bytes(8, 2));  // one frame fits, one is dropped
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(buffer.Take(out, 0ms));
    EXPECT_EQ(out, (std::vector<std::uint8_t>{1, 1, 1, 1, 2, 2, 2, 2}));
    EXPECT_EQ(buffer.DroppedBytes(), 4u);

    buffer.Push(Bytes(4, 3));  // room again once taken
    ASSERT_TRUE(buffer.Take(out, 0ms));
    EXPECT_EQ(out, Bytes(4, 3));
    EXPECT_EQ(buffer.DroppedBytes(), 4u);
}

TEST(CaptureBuffer, TheReaderGetsWholeFramesOnly) {
    CaptureBuffer buffer(64, 4);
    buffer.Push(Bytes(6, 7));
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(buffer.Take(out, 0ms));
    EXPECT_EQ(out.size(), 4u);
    EXPECT_FALSE(buffer.Take(out, 0ms));  // half a frame waits for the rest
    buffer.Push(Bytes(2, 7));
    ASSERT_TRUE(buffer.Take(out, 0ms));
    EXPECT_EQ(out.size(), 4u);
}

TEST(CaptureBuffer, AWaitingReaderWakesForDataAndForTheEnd) {
    CaptureBuffer buffer(64, 2);
    std::vector<std::uint8_t> out;
    EXPECT_FALSE(buffer.Take(out, 20ms));  // nothing came: a timeout, not an end
    EXPECT_FALSE(buffer.Ended());

    std::thread device([&] {
        std::this_thread::sleep_for(30ms);
        buffer.Push(Bytes(2, 9));
        buffer.End("gone");
    });
    EXPECT_TRUE(buffer.Take(out, 5s));
    device.join();
    EXPECT_TRUE(buffer.Ended());
    EXPECT_EQ(buffer.EndReason(), "gone");
    buffer.Push(Bytes(2, 9));  // nothing is taken after the end
    EXPECT_FALSE(buffer.Take(out, 0ms));
}

}  // namespace
}  // namespace tessival
