// What the rip log costs: a ten-minute audio track of a disc image (.cue/.bin) to FLAC with
// tessival-cli, which reads the track, computes its CRC and AccurateRip v1/v2 checksums and writes
// the disc's log, beside the same samples given as a WAVE file and converted to FLAC by the same
// tessival-cli, which does none of that; then the same rip beside cd-paranoia reading the track
// from the image into a WAVE file. Whole processes, alternating, seven pairs each; prints the
// median ratios with their minimum and maximum.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "../tests/support/DiscImage.h"
#include "ProcessPair.h"

using namespace tessival::bench;

namespace {

constexpr int kTenMinutesOfSectors = 600 * 75;
constexpr const char* kFlac = " --dest-type=FLAC --quality=2,5,Source,Source --dest-path=";

}  // namespace

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-riplog-bench");
    const tessival::test::DiscImageFile image(dir.string(), {kTenMinutesOfSectors});
    const std::string raw = (dir / "track.raw").string(), wave = (dir / "Track02.wav").string();
    std::ofstream(raw, std::ios::binary) << image.TrackPcm(2);
    const std::string cdList = (dir / "cd.tsl").string(), waveList = (dir / "wave.tsl").string();
    const std::string cdOut = (dir / "out").string(), waveOut = (dir / "wave-out").string();
    std::filesystem::create_directories(waveOut);
    if (!RunShell("sox -t raw -r 44100 -e signed -b 16 -c 2 -L " + Quote(raw) + " " + Quote(wave)) ||
        !RunShell(Quote(cli) + " add " + Quote(cdList) + " --cd=" + Quote(image.Cue()) + kFlac + Quote(cdOut) +
                  " >/dev/null") ||
        !RunShell(Quote(cli) + " add " + Quote(waveList) + kFlac + Quote(waveOut) + " " + Quote(wave) +
                  " >/dev/null")) {
        std::fprintf(stderr, "cannot prepare the image, the WAVE file or their lists\n");
        return 1;
    }
    const bool ok = ComparePairs(
        "ten-minute track -> FLAC; A disc image track with checksums and rip log, B the same samples as a WAVE file",
        Quote(cli) + " convert " + Quote(cdList) + " > /dev/null",
        Quote(cli) + " convert " + Quote(waveList) + " > /dev/null", 7) &&
                    ComparePairs("ten-minute track; A tessival-cli to FLAC with checksums and rip log, "
                                 "B cd-paranoia to WAV",
                                 Quote(cli) + " convert " + Quote(cdList) + " > /dev/null",
                                 "cd-paranoia -q -d " + Quote(image.Cue()) + " -w 2 " +
                                     Quote((dir / "paranoia.wav").string()) + " > /dev/null 2>&1",
                                 7);
    if (!std::filesystem::exists(cdOut + "/disc.log")) {
        std::fprintf(stderr, "the rip log was not written\n");
        return 1;
    }
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
