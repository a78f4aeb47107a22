// The whole command-line conversion of a ten-minute MP3 to "MPEG Layer-3" 128 kbps stereo, beside
// ffmpeg doing the same conversion in the same run. Prints both wall times and their ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchProcess.h"

namespace {

constexpr int kRounds = 3;

using tessival::bench::Quote;
using tessival::bench::Time;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    const std::string cli = TESSIVAL_CLI_PATH;
    const auto dir = std::filesystem::temp_directory_path() / "tessival-cli-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "out");
    const std::string source = (dir / "ten-minutes.mp3").string();
    const std::string list = (dir / "bench.tsl").string();

    if (Time("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:duration=600' -f lavfi -i "
             "'anoisesrc=d=600:a=0.1' -filter_complex amerge=inputs=2 -ac 2 -c:a libmp3lame -b:a 192k " +
             Quote(source)) < 0 ||
        Time(Quote(cli) + " add " + Quote(list) + " --dest-type=MP3 --dest-path=" + Quote((dir / "out").string()) +
             " --quality=2,128,0,44100 " + Quote(source)) < 0) {
        std::fprintf(stderr, "cannot make the benchmark input\n");
        return 1;
    }

    std::vector<double> ours, theirs;
    for (int round = 0; round < kRounds; ++round) {
        ours.push_back(Time(Quote(cli) + " convert " + Quote(list) + " > /dev/null"));
        theirs.push_back(Time("ffmpeg -nostdin -v error -y -i " + Quote(source) +
                              " -c:a libmp3lame -b:a 128k -ar 44100 -ac 2 -f wav " +
                              Quote((dir / "out" / "ffmpeg.wav").string())));
    }
    if (*std::min_element(ours.begin(), ours.end()) < 0 || *std::min_element(theirs.begin(), theirs.end()) < 0) {
        std::fprintf(stderr, "a conversion failed\n");
        return 1;
    }
    const double ourTime = Median(ours), ffmpegTime = Median(theirs);
    std::printf("ten-minute MP3 -> MPEG Layer-3 128 kbps stereo (median of %d)\n", kRounds);
    std::printf("  tessival-cli convert  %7.2f s\n  ffmpeg                %7.2f s\n  ratio                 %7.2f\n",
                ourTime, ffmpegTime, ourTime / ffmpegTime);
    std::filesystem::remove_all(dir);
    return 0;
}
