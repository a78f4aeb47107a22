// `tessival-cli show` on a list of 100,000 items, whole processes: wall time and peak resident
// memory of each run (nothing else does this work, so the figures stand alone against the targets
// of 0.3 s and 140 MiB).
#include <filesystem>

#include "ProcessPair.h"
#include "joblist/ItemFactory.h"

using namespace tessival::bench;

namespace {

constexpr int kItems = 100000;
constexpr int kRuns = 7;

}  // namespace

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-show-bench");
    const std::string list = (dir / "archive.tsl").string();
    // Written record by record: a spawned child's peak memory starts from its parent's, so the
    // benchmark must not hold the list itself. The file is the records' bytes and nothing else.
    std::FILE* file = std::fopen(list.c_str(), "wb");
    for (int i = 0; file && i < kItems; ++i) {
        const tessival::ConvertItem item = tessival::MakeSingleFileItem(
            "/srv/archive/Artist " + std::to_string(i / 120) + "/Album " + std::to_string(i / 12) + "/" +
            std::to_string(i % 12 + 1) + " Track of the album.flac");
        std::fwrite(&item, sizeof item, 1, file);
    }
    if (!file || std::fclose(file) != 0) {
        std::fprintf(stderr, "cannot write the list\n");
        return 1;
    }
    std::vector<double> seconds, peaks;
    for (int run = 0; run < kRuns; ++run) {
        const Measured m = RunMeasured({cli, "show", list});
        if (m.seconds < 0) {
            std::fprintf(stderr, "show failed\n");
            return 1;
        }
        seconds.push_back(m.seconds);
        peaks.push_back(m.peakMiB);
    }
    std::printf("tessival-cli show, %d items (%.1f MiB list file)\n", kItems,
                static_cast<double>(std::filesystem::file_size(list)) / (1024.0 * 1024.0));
    PrintSeries("wall time  ", seconds, "s");
    PrintSeries("peak memory", peaks, "MiB");
    std::filesystem::remove_all(dir);
    return 0;
}
