// One item of a one-second WAVE to MP3 128 kbps stereo: tessival-cli convert (A) against the
// ffmpeg command writing the same (B), whole processes, alternating; once as "MP3" (MP3 in WAVE)
// and once as "LAME MP3" (an .mp3 file). Start-up and the encoder's set-up are most of the work here.
#include <filesystem>

#include "ProcessPair.h"

using namespace tessival::bench;

namespace {

bool CompareOneItem(const std::string& cli, const std::filesystem::path& dir, const std::string& source,
                    const char* what, const char* destType, const char* ffmpegOptions, const char* theirs) {
    const std::string list = (dir / (std::string(theirs) + ".tsl")).string();
    if (!RunShell(Quote(cli) + " add " + Quote(list) + " --dest-type=" + Quote(destType) + " --dest-path=" +
                  Quote((dir / "out").string()) + " --quality=2,128,0,44100 " + Quote(source) + " >/dev/null")) {
        std::fprintf(stderr, "cannot make the list of: %s\n", what);
        return false;
    }
    return CompareWithFfmpeg(what, cli, list, source, ffmpegOptions, (dir / "out" / theirs).string(), 11);
}

}  // namespace

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-short-mp3-bench");
    const std::string source = (dir / "one-second.wav").string();
    if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:sample_rate=44100:duration=1' -ac 2 "
                  "-c:a pcm_s16le " + Quote(source))) {
        std::fprintf(stderr, "cannot make the source\n");
        return 1;
    }
    bool ok = CompareOneItem(cli, dir, source, "1 s WAV -> MP3 128 kbps stereo in WAVE", "MP3",
                             "-c:a libmp3lame -b:a 128k -ar 44100 -ac 2 -f wav", "ffmpeg.wav");
    ok = CompareOneItem(cli, dir, source, "1 s WAV -> LAME MP3 128 kbps stereo (.mp3)", "LAME MP3",
                        "-c:a libmp3lame -b:a 128k -ar 44100 -ac 2", "ffmpeg.mp3") && ok;
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
