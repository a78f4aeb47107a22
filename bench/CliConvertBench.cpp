// The whole command-line conversion of a ten-minute MP3 to "MPEG Layer-3" 128 kbps stereo, beside
// ffmpeg doing the same conversion: whole processes, alternating, five pairs.
#include <cstdio>
#include <filesystem>
#include <string>

#include "ProcessPair.h"

using namespace tessival::bench;

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-cli-bench");
    const std::string source = (dir / "ten-minutes.mp3").string();
    const std::string list = (dir / "bench.tsl").string();

    if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:duration=600' -f lavfi -i "
                  "'anoisesrc=d=600:a=0.1' -filter_complex amerge=inputs=2 -ac 2 -c:a libmp3lame -b:a 192k " +
                  Quote(source)) ||
        !RunShell(Quote(cli) + " add " + Quote(list) + " --dest-type=MP3 --dest-path=" + Quote((dir / "out").string()) +
                  " --quality=2,128,0,44100 " + Quote(source))) {
        std::fprintf(stderr, "cannot make the benchmark input\n");
        return 1;
    }
    const bool ok = CompareWithFfmpeg("ten-minute MP3 -> MPEG Layer-3 128 kbps stereo", cli, list, source,
                                      "-c:a libmp3lame -b:a 128k -ar 44100 -ac 2 -f wav",
                                      (dir / "out" / "ffmpeg.wav").string());
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
