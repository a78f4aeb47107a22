// The cost of album gain: ten minutes of 16-bit stereo WAVE to LAME MP3, tessival-cli convert with
// --replaygain=album (A) against the same conversion without it (B), each a whole process. Loudness
// is measured as the encoder takes the audio and the tags go in once the file is done, so A should
// cost at most a few per cent more.
#include <filesystem>

#include "ProcessPair.h"

using namespace tessival::bench;

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-bench-replaygain");
    const std::string source = (dir / "ten-minutes.wav").string();
    const std::string list = (dir / "list.tsl").string();
    if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'anoisesrc=d=600:c=pink:r=44100:a=0.2' -ac 2 -c:a pcm_s16le " +
                  Quote(source)) ||
        !RunShell(Quote(cli) + " add " + Quote(list) + " --dest-type='LAME MP3' --dest-path=" +
                  Quote((dir / "out").string()) + " " + Quote(source) + " >/dev/null")) {
        std::fprintf(stderr, "cannot make the source and its list\n");
        return 1;
    }
    const std::string convert = Quote(cli) + " convert " + Quote(list) + " --progress=none >/dev/null";
    const bool ok = ComparePairs("wave 16-bit stereo 44100 Hz, 600 s -> LAME MP3; A --replaygain=album, B without",
                                 convert + " --replaygain=album", convert);
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
