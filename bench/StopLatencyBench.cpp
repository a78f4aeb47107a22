// How long a pending WaitForCompletion takes to return after Stop, in the middle of a ten-minute
// conversion graph built the way the engine builds it: the encoder on the source's thread, and
// on a thread of its own behind its input queue (as long items run when a core is free).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "../tests/platform/media/WaveGraph.h"

namespace {

using namespace tessival::media;
using Clock = std::chrono::steady_clock;
constexpr int kRounds = 7;

// Milliseconds from Stop to the waiter's return, or a negative value on failure.
double StopOnce(const std::string& source, const std::string& destination, bool queued) {
    tessival::media::test::WaveGraph g(source, destination);
    if (!tessival::media::test::ApplyFormat(g.encoder, MakePcmFormat(22050, 1, 8))) return -1;
    if (queued && FAILED(QueryInterface<IQueuedInput>(g.encoder)->SetInputQueue(kUnitsPerSecond / 4))) return -1;
    if (FAILED(g.graph->Render(tessival::media::test::PinOf(g.encoder, PINDIR_OUTPUT))) || FAILED(g.graph->Run()))
        return -1;
    auto waiter = std::async(std::launch::async, [&] {
        long code = 0;
        const HRESULT hr = g.graph->WaitForCompletion(INFINITE, code);
        return std::make_pair(hr, Clock::now());
    });
    // The whole conversion takes a few hundred milliseconds: stop well inside it.
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    const auto stopAt = Clock::now();
    g.graph->Pause();
    g.graph->Stop();
    const auto [hr, returnedAt] = waiter.get();
    if (hr != VFW_E_WRONG_STATE) return -1;
    return std::chrono::duration<double, std::milli>(returnedAt - stopAt).count();
}

}  // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() / "tessival-stop-bench";
    std::filesystem::create_directories(dir);
    const std::string source = (dir / "long.wav").string();
    if (std::system(("sox -n -r 44100 -c 2 -b 16 '" + source + "' synth 600 sine 440").c_str()) != 0) return 1;
    for (const bool queued : {false, true}) {
        std::vector<double> times;
        for (int round = 0; round < kRounds; ++round) {
            const double ms = StopOnce(source, (dir / "out.wav").string(), queued);
            if (ms < 0) {
                std::fprintf(stderr, "a stop failed\n");
                return 1;
            }
            times.push_back(ms);
        }
        std::sort(times.begin(), times.end());
        std::printf("Stop during a ten-minute conversion%s -> WaitForCompletion returns (%d rounds)\n",
                    queued ? ", encoder behind its input queue" : "", kRounds);
        std::printf("  median %.1f ms   max %.1f ms   (target: within 200 ms)\n", times[times.size() / 2],
                    times.back());
    }
    std::filesystem::remove_all(dir);
    return 0;
}
