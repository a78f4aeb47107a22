// 500 one-second WAVE files to "WAV (PCM)" 44100 Hz 16-bit stereo with --jobs=1: outputs on the
// disk (A, the system's temporary folder) against outputs in memory (B, tmpfs at /dev/shm). Each
// output reaches its name only once its bytes are on the disk; what that costs beside the same
// run in memory is what this measures. Whole processes, alternating. Last, a run in memory over
// the outputs of the one before against one into an empty folder.
#include <filesystem>

#include "ShortSources.h"

using namespace tessival::bench;

namespace {

constexpr int kItems = 500;
const char* const kMemory = "/dev/shm";

}  // namespace

int main() {
    if (!std::filesystem::is_directory(kMemory)) {
        std::fprintf(stderr, "no tmpfs at %s\n", kMemory);
        return 1;
    }
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-short-items-disk-bench");
    const auto memory = std::filesystem::path(kMemory) / dir.filename();
    const std::string onDisk = (dir / "disk.tsl").string(), inMemory = (dir / "memory.tsl").string();
    const std::string sources = MakeOneSecondSources(dir, kItems);
    if (sources.empty() || !MakePcmList(cli, onDisk, (dir / "out").string(), sources) ||
        !MakePcmList(cli, inMemory, (memory / "out").string(), sources)) {
        std::fprintf(stderr, "cannot make the sources or the lists\n");
        return 1;
    }
    // Each run starts with no outputs, as the first run over a library does. The last run's are
    // moved aside, untimed, and removed at the end: removing them just before a run would time the
    // kernel too, which on an ext4 without a journal skips every recently freed inode when it
    // allocates one (a run's file creations then cost 40% more).
    const auto setAside = [](const std::filesystem::path& root) {
        const std::string out = Quote((root / "out").string()), aside = Quote((root / "aside").string());
        return "mkdir -p " + aside + " && if [ -d " + out + " ]; then mv " + out + " " + aside +
               "/$(date +%s%N); fi && sync";
    };
    const auto run = [&](const std::string& list, const char* jobs) {
        return Quote(cli) + " convert " + Quote(list) + " --jobs=" + jobs + " >/dev/null";
    };
    bool ok = ComparePairs("500 x 1 s WAV -> PCM, --jobs=1; A outputs on the disk, B in memory (tmpfs)",
                           run(onDisk, "1"), run(inMemory, "1"), 5, setAside(dir), setAside(memory));
    ok = ComparePairs("the same on the disk; A --jobs=2, B --jobs=1 (throughput gain = 1/ratio)", run(onDisk, "2"),
                      run(onDisk, "1"), 5, setAside(dir), setAside(dir)) &&
         ok;
    // A re-run without --skip-existing replaces every output, each checked to be audio first.
    const std::string memoryOut = Quote((memory / "out").string());
    ok = ComparePairs("in memory; A over the outputs of the run before, B into an empty folder",
                      run(inMemory, "1"), run(inMemory, "1"), 5, "[ -d " + memoryOut + " ] || " + run(inMemory, "1"),
                      "rm -rf " + memoryOut) &&
         ok;
    std::filesystem::remove_all(dir);
    std::filesystem::remove_all(memory);
    return ok ? 0 : 1;
}
