// Ten minutes of 16-bit stereo WAVE to 22050 Hz mono 8-bit PCM: tessival-cli convert (A) against
// the ffmpeg command writing the same format (B), each a whole process.
#include <filesystem>

#include "ProcessPair.h"

using namespace tessival::bench;

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-bench-wave");
    const std::string source = (dir / "ten-minutes.wav").string();
    const std::string list = (dir / "list.tsl").string();
    if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:sample_rate=44100:duration=600' "
                  "-ac 2 -c:a pcm_s16le " + Quote(source)) ||
        !RunShell(Quote(cli) + " add " + Quote(list) + " --dest-type='WAV (PCM)' --dest-path=" +
                  Quote((dir / "out").string()) + " --quality=1,176,8,22050 " + Quote(source) + " >/dev/null")) {
        std::fprintf(stderr, "cannot make the source and its list\n");
        return 1;
    }
    const bool ok = CompareWithFfmpeg("wave 16-bit stereo 44100 Hz, 600 s -> PCM 8-bit mono 22050 Hz", cli, list, source,
                                      "-ar 22050 -ac 1 -c:a pcm_u8", (dir / "out" / "ffmpeg.wav").string());
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
