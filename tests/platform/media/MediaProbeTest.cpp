#include "platform/media/MediaProbe.h"

#include <gtest/gtest.h>

#include <string>

#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival::media {
namespace {

using test::RunProcess;
using test::ShellQuote;

// Audio is found whether the header lists it (WAVE, FLAC, Ogg, MP3) or only the packets after
// it do (an MPEG transport stream); a picture, a text or a WAVE header over other bytes has none.
TEST(MediaProbe, AudioIsFoundWhereverTheContainerTellsIt) {
    test::TempDir dir;
    const auto make = [&dir](const std::string& name, const std::string& input, const std::string& options) {
        const std::string path = dir.File(name);
        const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i " + input + " " + options + " ";
        EXPECT_EQ(RunProcess(command + ShellQuote(path)).exitCode, 0);
        return path;
    };
    const struct {
        std::string path;
        bool audio;
    } cases[] = {
        {make("a.wav", "sine=d=0.2", "-c:a pcm_s16le"), true},
        {make("a.flac", "sine=d=0.2", ""), true},
        {make("a.ogg", "sine=d=0.2", "-c:a libvorbis"), true},
        {make("a.mp3", "sine=d=0.2", ""), true},
        {make("a.ts", "sine=d=0.2", "-c:a mp2 -f mpegts"), true},
        {make("p.png", "color=c=red:s=8x8", "-frames:v 1"), false},
    };
    for (const auto& [path, audio] : cases) EXPECT_EQ(HasAudioStream(path), audio) << path;

    const std::string text = dir.File("notes.wav");
    using namespace std::string_literals;
    test::WriteBytes(text, "RIFF\x04\x00\x00\x00WAVE and then words, not chunks\n"s);
    EXPECT_FALSE(HasAudioStream(text));
    EXPECT_FALSE(HasAudioStream(dir.Path()));
}

}  // namespace
}  // namespace tessival::media
