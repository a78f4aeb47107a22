// 500 one-second WAVE files to "WAV (PCM)" 44100 Hz 16-bit stereo: tessival-cli convert --jobs=2
// (A) against --jobs=1 (B), whole processes, alternating. What each item costs besides its audio
// (building and tearing down its graph) is most of the work here.
#include <filesystem>

#include "ShortSources.h"

using namespace tessival::bench;

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-many-items-bench");
    const std::string list = (dir / "list.tsl").string();
    const std::string sources = MakeOneSecondSources(dir, 500);
    if (sources.empty() || !MakePcmList(cli, list, (dir / "out").string(), sources)) {
        std::fprintf(stderr, "cannot make the sources or the list\n");
        return 1;
    }
    const std::string convert = Quote(cli) + " convert " + Quote(list) + " >/dev/null";
    const bool ok = ComparePairs("500 x 1 s WAV 48000 Hz -> PCM 44100 Hz; A --jobs=2, B --jobs=1 (throughput gain = 1/ratio)",
                                 convert + " --jobs=2", convert + " --jobs=1");
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
