// Ten minutes of 16-bit stereo WAVE to 22050 Hz mono 8-bit PCM, through a graph built the way
// the engine builds it, beside ffmpeg doing the same conversion. Prints both times and the ratio.
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "../tests/platform/media/WaveGraph.h"

namespace {

using namespace tessival::media;
using Clock = std::chrono::steady_clock;

bool Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

template <class F>
double BestSeconds(int runs, F&& run) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        if (!run()) return -1;
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

}  // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() / "tessival-bench-wave";
    std::filesystem::create_directories(dir);
    const std::string source = (dir / "ten-minutes.wav").string();
    const std::string ours = (dir / "ours.wav").string(), theirs = (dir / "ffmpeg.wav").string();
    if (!Shell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:sample_rate=44100:duration=600' "
               "-ac 2 -c:a pcm_s16le '" + source + "'")) {
        std::fprintf(stderr, "cannot make the source with ffmpeg\n");
        return 1;
    }
    const WAVEFORMATEX format = MakePcmFormat(22050, 1, 8);
    const double graphSeconds = BestSeconds(3, [&] {
        test::WaveGraph graph(source, ours);
        return graph.Convert(&format) == S_OK;
    });
    const double ffmpegSeconds = BestSeconds(3, [&] {
        return Shell("ffmpeg -nostdin -v error -y -i '" + source + "' -ar 22050 -ac 1 -c:a pcm_u8 '" + theirs + "'");
    });
    std::filesystem::remove_all(dir);
    if (graphSeconds < 0 || ffmpegSeconds < 0) {
        std::fprintf(stderr, "a conversion failed\n");
        return 1;
    }
    std::printf("wave 16-bit stereo 44100 Hz, 600 s -> PCM 8-bit mono 22050 Hz (best of 3)\n");
    std::printf("  filter graph: %.3f s\n  ffmpeg:       %.3f s\n  ratio:        %.2f\n", graphSeconds, ffmpegSeconds,
                graphSeconds / ffmpegSeconds);
    return 0;
}
