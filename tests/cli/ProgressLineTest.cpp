#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "cli/ProgressLine.h"

namespace tessival::cli {
namespace {

RunningItem Running(int ordinal, double position, double duration) {
    RunningItem item;
    item.index = ordinal - 1;
    item.ordinal = ordinal;
    item.media.positionSeconds = position;
    item.media.durationSeconds = duration;
    return item;
}

BatchProgress Batch(int total, int finished, std::vector<RunningItem> running) {
    return BatchProgress{total, finished, std::move(running)};
}

TEST(ProgressLine, OneItemShowsItsPlacePercentAndTheRunsTimeLeft) {
    // 2 items done and 42.5% of the third in 10 s: 5.575 items left at that pace take 23 s.
    EXPECT_EQ(ProgressLine::Format(Batch(8, 2, {Running(3, 17, 40)}), 10, 80), "Item 3 of 8: 42%, about 0:23 left");
    // No time left before a second of pace, nor before anything has moved.
    EXPECT_EQ(ProgressLine::Format(Batch(8, 0, {Running(1, 2, 40)}), 0.5, 80), "Item 1 of 8: 5%");
    EXPECT_EQ(ProgressLine::Format(Batch(3, 0, {Running(1, -1, -1)}), 2, 80), "Item 1 of 3");
    // Hours once the run is long; a time left is rounded up, never 0:00 before the end.
    EXPECT_EQ(ProgressLine::Format(Batch(100, 0, {Running(1, 30, 60)}), 100, 80), "Item 1 of 100: 50%, about 5:31:40 left");
    EXPECT_EQ(ProgressLine::Format(Batch(1, 0, {Running(1, 59.9, 60)}), 10, 80), "Item 1 of 1: 99%, about 0:01 left");
}

TEST(ProgressLine, SeveralItemsShowTheirPlacesAndTheirCombinedPercent) {
    // 40 of 100 seconds; 3 done plus a quarter and a half item in 60 s: 4.25 left take 68 s.
    EXPECT_EQ(ProgressLine::Format(Batch(8, 3, {Running(3, 10, 40), Running(5, 30, 60)}), 60, 80),
              "Items 3, 5 of 8: 40%, about 1:08 left");
    // An item whose graph does not run yet adds no percent.
    EXPECT_EQ(ProgressLine::Format(Batch(4, 1, {Running(2, 20, 40), Running(3, -1, -1)}), 10, 80),
              "Items 2, 3 of 4: 50%, about 0:17 left");
}

TEST(ProgressLine, AnItemOfUnknownLengthShowsHowFarItHasGot) {
    EXPECT_EQ(ProgressLine::Format(Batch(1, 0, {Running(1, 42.7, -1)}), 43, 80), "Item 1 of 1: 0:42");
}

TEST(ProgressLine, NothingRunningIsNoLineAndANarrowTerminalCutsIt) {
    EXPECT_EQ(ProgressLine::Format(Batch(5, 5, {}), 30, 80), "");
    // One column short of the width: a full last column would wrap the line on some terminals.
    EXPECT_EQ(ProgressLine::Format(Batch(8, 2, {Running(3, 17, 40)}), 10, 12), "Item 3 of 8");
    // The time left goes whole or not at all.
    EXPECT_EQ(ProgressLine::Format(Batch(8, 2, {Running(3, 17, 40)}), 10, 33), "Item 3 of 8: 42%");
    EXPECT_EQ(ProgressLine::Format(Batch(8, 2, {Running(3, 17, 40)}), 10, 34), "Item 3 of 8: 42%, about 0:23 left");
}

TEST(ProgressLine, DrawRewritesInPlaceAndEraseClearsOnlyWhatIsShown) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&buffer, &size);
    ProgressLine line;
    line.Erase(out);
    line.Draw(out, "Item 1 of 2: 10%");
    line.Draw(out, "Item 1 of 2: 20%");
    line.Erase(out);
    line.Erase(out);
    line.Draw(out, "");
    std::fclose(out);
    EXPECT_EQ(std::string(buffer, size), "\rItem 1 of 2: 10%\033[K\rItem 1 of 2: 20%\033[K\r\033[K");
    std::free(buffer);
}

}  // namespace
}  // namespace tessival::cli
