// tessival-cli loudness, checked against FFmpeg's ebur128 filter and loudgain on recordings
// made of noise and tones whose level changes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival::test {
namespace {

// The number after `key` in text; NaN when it is not there.
double NumberAfter(const std::string& text, const std::string& key, std::size_t from = 0) {
    const auto at = text.find(key, from);
    return at == std::string::npos ? NAN : std::strtod(text.c_str() + at + key.size(), nullptr);
}

std::string MakeRecording(const TempDir& dir, const std::string& name, const std::string& noiseLevel) {
    const std::string path = dir.File(name);
    const std::string graph = "anoisesrc=d=12:c=pink:r=44100:a=" + noiseLevel +
                              "[n];sine=f=440:d=12:r=44100[s];[n][s]amix=inputs=2,"
                              "volume='if(lt(t,5),0.5,1)':eval=frame,aformat=channel_layouts=stereo";
    const auto made = RunProcess("ffmpeg -nostdin -v error -filter_complex " + ShellQuote(graph) + " " + ShellQuote(path));
    EXPECT_EQ(made.exitCode, 0);
    return path;
}

TEST(LoudnessCommandTest, AgreesWithFfmpegAndLoudgain) {
    TempDir dir;
    const std::vector<std::string> files = {MakeRecording(dir, "quiet.flac", "0.1"), MakeRecording(dir, "loud.flac", "0.6")};
    const auto json = RunProcess(ShellQuote(CliPath()) + " loudness --json " + ShellQuote(files[0]) + " " +
                                 ShellQuote(files[1]));
    ASSERT_EQ(json.exitCode, 0) << json.output;
    for (const std::string& file : files) {
        const auto line = json.output.find("{\"file\":\"" + file + "\"");
        ASSERT_NE(line, std::string::npos) << json.output;
        const auto ebur128 = RunProcess("ffmpeg -nostdin -nostats -i " + ShellQuote(file) +
                                        " -af ebur128=peak=true -f null - 2>&1 | tail -12");
        EXPECT_NEAR(NumberAfter(json.output, "\"integrated\":", line), NumberAfter(ebur128.output, "I:"), 0.1) << file;
        EXPECT_NEAR(NumberAfter(json.output, "\"range\":", line), NumberAfter(ebur128.output, "LRA:"), 0.2) << file;
        // loudgain writes its tags into the file it scans: a copy of its own.
        const std::string copy = dir.File("copy.flac");
        RunProcess("cp " + ShellQuote(file) + " " + ShellQuote(copy));
        const auto loudgain = RunProcess("loudgain -s e " + ShellQuote(copy) + " 2>&1");
        EXPECT_NEAR(NumberAfter(json.output, "\"gain\":", line), NumberAfter(loudgain.output, "Gain:"), 0.1) << file;
    }
    const double quiet = NumberAfter(json.output, "\"integrated\":");
    const double album = NumberAfter(json.output, "\"integrated\":", json.output.find("{\"album\":2"));
    EXPECT_GT(album, quiet + 1);

    // Text for people, an album line, and a file without audio failing alone.
    const std::string text = dir.File("notes.txt");
    WriteBytes(text, "no audio here");
    const auto mixed = RunProcess(ShellQuote(CliPath()) + " loudness " + ShellQuote(files[0]) + " " + ShellQuote(text) +
                                  " 2>/dev/null");
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_NE(mixed.output.find(" LUFS "), std::string::npos) << mixed.output;
    EXPECT_NE(mixed.output.find(" dB  (album)\n"), std::string::npos) << mixed.output;
    EXPECT_EQ(mixed.output.find("notes.txt"), std::string::npos) << mixed.output;
    EXPECT_EQ(RunProcess(ShellQuote(CliPath()) + " loudness 2>/dev/null").exitCode, 2);
}

}  // namespace
}  // namespace tessival::test
