// 300 one-second WAVE files to "WAV (PCM)" into a folder that already holds 50,000 files (A)
// against the same into an empty folder (B), whole tessival-cli processes, alternating. A batch
// should cost the same whatever else its destination folder holds.
#include <filesystem>
#include <fstream>

#include "ShortSources.h"

using namespace tessival::bench;

namespace {

constexpr int kItems = 300;
constexpr int kOtherFiles = 50000;

}  // namespace

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-full-folder-bench");
    const auto full = dir / "full", empty = dir / "out";
    std::filesystem::create_directories(full);
    for (int i = 0; i < kOtherFiles; ++i) std::ofstream(full / ("other-" + std::to_string(i) + ".wav"));
    const std::string sources = MakeOneSecondSources(dir, kItems);
    const std::string intoFull = (dir / "full.tsl").string(), intoEmpty = (dir / "empty.tsl").string();
    if (sources.empty() || !MakePcmList(cli, intoFull, full.string(), sources) ||
        !MakePcmList(cli, intoEmpty, empty.string(), sources)) {
        std::fprintf(stderr, "cannot make the sources or the lists\n");
        return 1;
    }
    const std::string convert = Quote(cli) + " convert ";
    const bool ok = ComparePairs("300 x 1 s WAV -> PCM; A into a folder of 50,000 files, B into an empty folder",
                                 convert + Quote(intoFull) + " >/dev/null", convert + Quote(intoEmpty) + " >/dev/null");
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
