// A ten-minute audio track of a disc image (.cue/.bin) to WAV PCM with tessival-cli, beside
// cd-paranoia reading the same track from the same image into a WAVE file: whole processes,
// alternating, five pairs. Prints the median ratio with its minimum and maximum.
#include <cstdio>
#include <filesystem>
#include <string>

#include "../tests/support/DiscImage.h"
#include "ProcessPair.h"

using namespace tessival::bench;

namespace {

constexpr int kTenMinutesOfSectors = 600 * 75;

}  // namespace

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-cd-bench");
    const tessival::test::DiscImageFile image(dir.string(), {kTenMinutesOfSectors});
    const std::string list = (dir / "cd.tsl").string();
    if (!RunShell(Quote(cli) + " add " + Quote(list) + " --cd=" + Quote(image.Cue()) +
                  " --dest-type='WAV (PCM)' --quality=2,1411,16,44100 --dest-path=" + Quote((dir / "out").string()))) {
        std::fprintf(stderr, "cannot add the image's track\n");
        return 1;
    }
    const bool ok = ComparePairs("ten-minute disc image track -> WAV PCM 16-bit stereo 44100 Hz; A tessival-cli, B cd-paranoia",
                                 Quote(cli) + " convert " + Quote(list) + " > /dev/null",
                                 "cd-paranoia -q -d " + Quote(image.Cue()) + " -w 2 " +
                                     Quote((dir / "out" / "paranoia.wav").string()) + " > /dev/null 2>&1");
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
