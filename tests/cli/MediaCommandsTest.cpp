// tessival-cli filters and graph, run as a user would.
#include <gtest/gtest.h>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival::test {
namespace {

std::size_t Find(const std::string& text, const std::string& what, std::size_t from = 0) {
    const auto at = text.find(what, from);
    EXPECT_NE(at, std::string::npos) << "missing: " << what << "\nin:\n" << text;
    return at;
}

TEST(MediaCommandsTest, FiltersListsCategoriesEntriesAndPinsInOrder) {
    const auto result = RunProcess(ShellQuote(CliPath()) + " filters");
    ASSERT_EQ(result.exitCode, 0);
    const std::string& out = result.output;
    std::size_t at = Find(out, "DirectShow Filters\n");
    at = Find(out, "  File Source (Async.)\n    out Output\n", at);
    at = Find(out, "  Wave Parser\n    in  input pin\n", at);
    at = Find(out, "  WAV Dest\n", at);
    at = Find(out, "  File Writer\n", at);
    at = Find(out, "Audio Compressors\n", at);
    at = Find(out, "  PCM\n    in  Input\n    out Output\n", at);
    Find(out, "Audio Capture Sources\n", at);
    EXPECT_EQ(RunProcess(ShellQuote(CliPath()) + " filters extra 2>/dev/null").exitCode, 2);
}

TEST(MediaCommandsTest, GraphPrintsWhatRenderFileBuilds) {
    TempDir dir;
    const std::string wav = dir.File("tone.wav");
    ASSERT_EQ(RunProcess("ffmpeg -nostdin -v error -f lavfi -i sine=duration=0.2 -c:a adpcm_ima_wav " + ShellQuote(wav))
                  .exitCode,
              0);
    const auto result = RunProcess(ShellQuote(CliPath()) + " graph " + ShellQuote(wav));
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output.substr(0, result.output.find("connections:")),
              "filters:\n  Audio Renderer\n  ACM Wrapper\n  Wave Parser\n  " + wav + "\n");
    std::size_t at = Find(result.output, "  " + wav + " [Output] -> Wave Parser [input pin]: byte stream\n");
    at = Find(result.output, "  Wave Parser [output] -> ACM Wrapper [Input]: audio tag 0x0011", at);
    Find(result.output, "  ACM Wrapper [Output] -> Audio Renderer [Audio Input pin (rendered)]: audio tag 0x0001", at);

    const std::string garbage = dir.File("garbage.wav");
    WriteBytes(garbage, std::string(1000, 'x'));
    EXPECT_EQ(RunProcess(ShellQuote(CliPath()) + " graph " + ShellQuote(garbage) + " 2>/dev/null").exitCode, 1);
    EXPECT_EQ(RunProcess(ShellQuote(CliPath()) + " graph 2>/dev/null").exitCode, 2);
}

}  // namespace
}  // namespace tessival::test
