// 500 one-second WAVE files to "WAV (PCM)" 44100 Hz 16-bit stereo: tessival-cli convert --jobs=2
// (A) against --jobs=1 (B), whole processes, alternating. What each item costs besides its audio
// (building and tearing down its graph) is most of the work here.
//
// Every item's file reaches its name only once its bytes are on the disk; files that are ready
// together share their syncs. For scale, the second comparison makes the same 500 files with a
// sync, rename and folder sync each, nothing converted (this program again, with --write-only
// WRITERS FOLDER): how far a second writer gains when every file pays its own syncs.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "ShortSources.h"

using namespace tessival::bench;

namespace {

constexpr int kItems = 500;
constexpr std::size_t kOutputBytes = 176482;  // one second of 44100 Hz 16-bit stereo, with its header

bool WriteSynced(const std::string& folder, int item, const std::vector<char>& bytes) {
    const std::string name = folder + "/s" + std::to_string(item) + ".wav", temporary = name + ".part";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                         ::fsync(fd) == 0;
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), name.c_str()) != 0) return false;
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = folderFd >= 0 && ::fsync(folderFd) == 0;
    if (folderFd >= 0) ::close(folderFd);
    return synced;
}

int WriteOnly(int writers, const std::string& folder) {
    const std::vector<char> bytes(kOutputBytes, 'x');
    std::vector<std::thread> threads;
    std::vector<char> failed(writers, 0);
    for (int w = 0; w < writers; ++w)
        threads.emplace_back([&, w] {
            for (int item = w + 1; item <= kItems; item += writers)
                if (!WriteSynced(folder, item, bytes)) failed[w] = 1;
        });
    for (auto& thread : threads) thread.join();
    return std::find(failed.begin(), failed.end(), 1) == failed.end() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--write-only") == 0) return WriteOnly(std::atoi(argv[2]), argv[3]);

    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-many-items-bench");
    const std::string list = (dir / "list.tsl").string();
    const std::string sources = MakeOneSecondSources(dir, kItems);
    if (sources.empty() || !MakePcmList(cli, list, (dir / "out").string(), sources)) {
        std::fprintf(stderr, "cannot make the sources or the list\n");
        return 1;
    }
    const std::string convert = Quote(cli) + " convert " + Quote(list) + " >/dev/null";
    bool ok = ComparePairs("500 x 1 s WAV 48000 Hz -> PCM 44100 Hz; A --jobs=2, B --jobs=1 (throughput gain = 1/ratio)",
                           convert + " --jobs=2", convert + " --jobs=1");
    const std::string writeOnly =
        Quote(std::filesystem::read_symlink("/proc/self/exe").string()) + " --write-only ";
    const std::string folder = " " + Quote((dir / "out").string());
    ok = ComparePairs("the same 500 files written, synced and renamed, nothing converted; A 2 writers, B 1",
                      writeOnly + "2" + folder, writeOnly + "1" + folder) && ok;
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
