// One item of a one-second WAVE to "MP3" 128 kbps stereo (MP3 in WAVE): tessival-cli convert (A)
// against the ffmpeg command writing the same (B), whole processes, alternating. Start-up and the
// encoder's set-up are most of the work here.
#include <filesystem>

#include "ProcessPair.h"

using namespace tessival::bench;

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-short-mp3-bench");
    const std::string source = (dir / "one-second.wav").string(), list = (dir / "list.tsl").string();
    if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:sample_rate=44100:duration=1' -ac 2 "
                  "-c:a pcm_s16le " + Quote(source)) ||
        !RunShell(Quote(cli) + " add " + Quote(list) + " --dest-type=MP3 --dest-path=" + Quote((dir / "out").string()) +
                  " --quality=2,128,0,44100 " + Quote(source) + " >/dev/null")) {
        std::fprintf(stderr, "cannot make the source and its list\n");
        return 1;
    }
    const bool ok = CompareWithFfmpeg("1 s WAV -> MP3 128 kbps stereo in WAVE", cli, list, source,
                                      "-c:a libmp3lame -b:a 128k -ar 44100 -ac 2 -f wav",
                                      (dir / "out" / "ffmpeg.wav").string(), 11);
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
