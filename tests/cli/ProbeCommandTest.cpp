// tessival-cli probe, run as a user would.
#include <gtest/gtest.h>

#include "support/RunProcess.h"

namespace tessival::test {
namespace {

TEST(ProbeCommandTest, ReportsEachComponentWithTheFilterThatServesItAndExitsZero) {
    const auto result = RunProcess(ShellQuote(CliPath()) + " probe");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output,
              "PCM Encoder      present  PCM\n"
              "WAV Dest         present  WAV Dest\n"
              "MP3 Encoder      present  MPEG Layer-3\n"
              "MP3 Decoder      present  MPEG Layer-3 Decoder\n"
              "WMA Encoder      present  Windows Media Audio V2\n"
              "WMA Decoder      present  Windows Media Audio Decoder\n"
              "DVD AC3 Decoder  present  AC3Filter\n");
    EXPECT_EQ(RunProcess(ShellQuote(CliPath()) + " probe extra 2>/dev/null").exitCode, 2);
}

}  // namespace
}  // namespace tessival::test
