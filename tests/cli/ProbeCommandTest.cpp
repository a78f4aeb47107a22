// tessival-cli probe, run as a user would.
#include <gtest/gtest.h>

#include "support/RunProcess.h"

namespace tessival::test {
namespace {

TEST(ProbeCommandTest, ReportsEveryEncoderAndDecoderWithTheFilterThatServesItAndExitsZero) {
    const auto result = RunProcess(ShellQuote(CliPath()) + " probe");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output,
              "PCM Encoder          present  PCM\n"
              "WAV Dest             present  WAV Dest\n"
              "MP3 Encoder          present  MPEG Layer-3\n"
              "MP3 Decoder          present  MPEG Layer-3 Decoder\n"
              "WMA Encoder          present  Windows Media Audio V2\n"
              "WMA Decoder          present  Windows Media Audio Decoder\n"
              "DVD AC3 Decoder      present  AC3Filter\n"
              "LAME MP3 Encoder     present  LAME MP3 Encoder\n"
              "FLAC Encoder         present  FLAC Encoder\n"
              "Ogg Vorbis Encoder   present  Vorbis Encoder\n"
              "Opus Encoder         present  Opus Encoder\n"
              "M4A AAC Encoder      present  AAC Encoder\n"
              "FLAC Decoder         present  Audio Decoder\n"
              "ALAC Decoder         present  Audio Decoder\n"
              "AAC Decoder          present  Audio Decoder\n"
              "Vorbis Decoder       present  Audio Decoder\n"
              "Opus Decoder         present  Audio Decoder\n"
              "WavPack Decoder      present  Audio Decoder\n"
              "APE Decoder          present  Audio Decoder\n"
              "TTA Decoder          present  Audio Decoder\n"
              "AMR Decoder          present  Audio Decoder\n"
              "E-AC-3 Decoder       present  Audio Decoder\n"
              "DTS Decoder          present  Audio Decoder\n"
              "AIFF PCM Decoder     present  Audio Decoder\n");
    EXPECT_EQ(RunProcess(ShellQuote(CliPath()) + " probe extra 2>/dev/null").exitCode, 2);
}

}  // namespace
}  // namespace tessival::test
