// A ten-minute audio track of a disc image (.cue/.bin) to WAV PCM with tessival-cli, beside
// cd-paranoia reading the same track from the same image into a WAVE file: whole processes,
// alternating, five pairs. Prints the median ratio with its minimum and maximum.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../tests/support/DiscImage.h"
#include "BenchProcess.h"

namespace {

using tessival::bench::Median;
using tessival::bench::Quote;
using tessival::bench::Time;

constexpr int kPairs = 5;
constexpr int kTenMinutesOfSectors = 600 * 75;

}  // namespace

int main() {
    const std::string cli = TESSIVAL_CLI_PATH;
    const auto dir = std::filesystem::temp_directory_path() / "tessival-cd-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "out");
    const tessival::test::DiscImageFile image(dir.string(), {kTenMinutesOfSectors});
    const std::string list = (dir / "cd.tsl").string();
    if (Time(Quote(cli) + " add " + Quote(list) + " --cd=" + Quote(image.Cue()) +
             " --dest-type='WAV (PCM)' --quality=2,1411,16,44100 --dest-path=" + Quote((dir / "out").string())) < 0) {
        std::fprintf(stderr, "cannot add the image's track\n");
        return 1;
    }

    std::vector<double> ratios, ours, theirs;
    for (int pair = 0; pair < kPairs; ++pair) {
        const double a = Time(Quote(cli) + " convert " + Quote(list) + " > /dev/null");
        const double b = Time("cd-paranoia -q -d " + Quote(image.Cue()) + " -w 2 " +
                              Quote((dir / "out" / "paranoia.wav").string()) + " > /dev/null 2>&1");
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "a read failed\n");
            return 1;
        }
        ours.push_back(a);
        theirs.push_back(b);
        ratios.push_back(a / b);
    }
    std::printf("ten-minute disc image track -> WAV PCM 16-bit stereo 44100 Hz (%d pairs, alternating)\n", kPairs);
    std::printf("  tessival-cli convert  median %6.2f s\n  cd-paranoia           median %6.2f s\n", Median(ours),
                Median(theirs));
    std::printf("  ratio                 median %6.2f  min %6.2f  max %6.2f\n", Median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));
    std::filesystem::remove_all(dir);
    return 0;
}
