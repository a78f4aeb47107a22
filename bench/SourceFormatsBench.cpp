// Whole `tessival-cli convert` processes beside the ffmpeg command doing the same work, run
// alternately: a ten-minute FLAC to PCM WAVE, and a ten-minute M4A (AAC) to MP3 128 kbps in WAVE.
// Prints the median of the per-pair time ratios with their minimum and maximum.
#include <cstdio>
#include <filesystem>
#include <string>

#include "ProcessPair.h"

namespace {

constexpr int kPairs = 7;

using tessival::bench::CliPath;
using tessival::bench::FreshBenchDir;
using tessival::bench::CompareWithFfmpeg;
using tessival::bench::Quote;
using tessival::bench::RunShell;

struct Case {
    const char* title;
    const char* sourceName;
    const char* sourceCodec;  // ffmpeg options that make the source
    const char* destType;
    const char* quality;
    const char* ffmpegOutput;  // ffmpeg options of the same conversion
};

bool RunCase(const Case& c, const std::string& cli, const std::filesystem::path& dir) {
    const std::string source = (dir / c.sourceName).string(), list = (dir / "bench.tsl").string();
    const std::string out = (dir / "out").string();
    std::filesystem::remove(list);
    if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:duration=600' -f lavfi -i "
                  "'anoisesrc=d=600:a=0.1' -filter_complex amerge=inputs=2 -ac 2 -ar 44100 " +
                  std::string(c.sourceCodec) + " " + Quote(source)) ||
        !RunShell(Quote(cli) + " add " + Quote(list) + " --dest-type=" + Quote(c.destType) + " --dest-path=" +
                  Quote(out) + " --quality=" + c.quality + " " + Quote(source))) {
        std::fprintf(stderr, "cannot make the input of: %s\n", c.title);
        return false;
    }
    const bool ok = CompareWithFfmpeg(c.title, cli, list, source, c.ffmpegOutput, out + "/ffmpeg.wav", kPairs);
    std::filesystem::remove(source);
    return ok;
}

}  // namespace

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-source-formats-bench");
    const Case cases[] = {
        {"ten-minute FLAC -> PCM 16-bit stereo 44100 Hz", "ten-minutes.flac", "-c:a flac", "WAV (PCM)",
         "2,1411,16,44100", "-c:a pcm_s16le -ar 44100 -ac 2 -f wav"},
        {"ten-minute M4A (AAC) -> MPEG Layer-3 128 kbps stereo in WAVE", "ten-minutes.m4a", "-c:a aac -b:a 192k",
         "WAV (MPEG Layer-3)", "2,128,0,44100", "-c:a libmp3lame -b:a 128k -ar 44100 -ac 2 -f wav"},
    };
    bool ok = true;
    for (const Case& c : cases) ok = RunCase(c, cli, dir) && ok;
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
