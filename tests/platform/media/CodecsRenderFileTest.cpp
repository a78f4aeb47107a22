// What RenderFile builds for every source type, as `tessival-cli graph` prints it: the parser
// and decoder of the type, audio ending in "Audio Renderer" and video in "Video Renderer" -
// the shape the engine's source analyzer reads.
#include <gtest/gtest.h>

#include "platform/media/CodecsFixtures.h"
#include "support/TempDir.h"

namespace tessival::media::test {
namespace {

class CodecsRenderFileTest : public ::testing::TestWithParam<SourceCase> {};

bool HasLine(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_P(CodecsRenderFileTest, GraphEndsAudioAndVideoInTheirRenderers) {
    const SourceCase& c = GetParam();
    tessival::test::TempDir dir;
    const std::string source = dir.File(c.file);
    ASSERT_TRUE(MakeSource(c, source));
    const auto result = RunProcess(tessival::test::CliPath() + " graph " + ShellQuote(source) + " 2>&1");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::string& graph = result.output;
    if (c.parser) {
        EXPECT_TRUE(HasLine(graph, "[Output] -> " + std::string(c.parser) + " [")) << graph;
    }
    if (c.decoder) {
        EXPECT_TRUE(HasLine(graph, "-> " + std::string(c.decoder) + " [")) << graph;
        EXPECT_TRUE(HasLine(graph, std::string(c.decoder) + " [Output] -> Audio Renderer")) << graph;
    } else {
        EXPECT_TRUE(HasLine(graph, "-> Audio Renderer")) << graph;
    }
    EXPECT_EQ(HasLine(graph, "-> Video Renderer"), c.withVideo) << graph;
    EXPECT_FALSE(HasLine(graph, "ACM Wrapper")) << graph;  // the type's own decoder is preferred
}

INSTANTIATE_TEST_SUITE_P(EverySourceType, CodecsRenderFileTest, ::testing::ValuesIn(kSourceCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessival::media::test
