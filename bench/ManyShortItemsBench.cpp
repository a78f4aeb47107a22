// 500 one-second WAVE files to "WAV (PCM)" 44100 Hz 16-bit stereo: tessival-cli convert --jobs=2
// (A) against --jobs=1 (B), whole processes, alternating. What each item costs besides its audio
// (building and tearing down its graph) is most of the work here.
#include <filesystem>

#include "ProcessPair.h"

using namespace tessival::bench;

namespace {

constexpr int kItems = 500;

}  // namespace

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-many-items-bench");
    const std::string first = (dir / "s1.wav").string(), list = (dir / "list.tsl").string();
    if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:sample_rate=48000:duration=1' -ac 2 "
                  "-c:a pcm_s16le " + Quote(first))) {
        std::fprintf(stderr, "cannot make the source\n");
        return 1;
    }
    std::string sources = " " + Quote(first);
    for (int i = 2; i <= kItems; ++i) {
        const auto copy = dir / ("s" + std::to_string(i) + ".wav");
        std::filesystem::copy_file(first, copy);
        sources += " " + Quote(copy.string());
    }
    if (!RunShell(Quote(cli) + " add " + Quote(list) + " --dest-type='WAV (PCM)' --dest-path=" +
                  Quote((dir / "out").string()) + " --quality=2,1411,16,44100" + sources + " >/dev/null")) {
        std::fprintf(stderr, "cannot make the list\n");
        return 1;
    }
    const std::string convert = Quote(cli) + " convert " + Quote(list) + " >/dev/null";
    const bool ok = ComparePairs("500 x 1 s WAV 48000 Hz -> PCM 44100 Hz; A --jobs=2, B --jobs=1 (throughput gain = 1/ratio)",
                                 convert + " --jobs=2", convert + " --jobs=1");
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
