// A sixty-minute 24-bit stereo WAV converted by tessival-cli to "FLAC" at the source's own rate,
// bits and channels, level 5 (MD5, seek table and all), beside the reference encoder `flac -5`
// writing the same file. The two run alternately, five pairs; the median time ratio (ours / flac's)
// is printed with its min and max, and the sizes of the two files.
#include <cstdio>
#include <filesystem>
#include <string>

#include "ProcessPair.h"

#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/media/AudioEncoderFilter.h"

namespace {

using tessival::bench::CliPath;
using tessival::bench::ComparePairs;
using tessival::bench::Quote;
using tessival::bench::RunShell;

bool WriteList(const std::string& list, const std::string& source, const std::string& out) {
    tessival::ConvertItem item = tessival::MakeSingleFileItem(source);
    tessival::WriteField(item.destPath, out);
    tessival::WriteField(item.destName, "ours.flac");
    tessival::WriteField(item.destType, "FLAC");
    item.quality = {0xF1AC, tessival::media::kSourceChannels, 0, 5 * 125, 1, 0, 0};
    tessival::ItemList items;
    items.Append(item);
    return tessival::WriteListFile(list, items) == tessival::ListFileResult::Ok;
}

}  // namespace

int main() {
    const auto dir = tessival::bench::FreshBenchDir("tessival-flac-source-bench");
    const std::string source = (dir / "sixty-minutes.wav").string();
    // Music-like content: a tone under noise, so the encoder has real work to do.
    if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:duration=3600:sample_rate=48000' "
                  "-f lavfi -i 'anoisesrc=d=3600:a=0.05:r=48000' -filter_complex amerge=inputs=2 -ac 2 "
                  "-c:a pcm_s24le " +
                  Quote(source))) {
        std::fprintf(stderr, "cannot make the benchmark input\n");
        return 1;
    }
    const std::string out = (dir / "out").string();
    const std::string list = (dir / "flac.tsl").string();
    if (!WriteList(list, source, out)) return 1;
    const std::string theirs = (dir / "out" / "flac-5.flac").string();
    if (!ComparePairs("FLAC at Source, 60 min 24-bit 48 kHz stereo; A tessival-cli, B flac -5",
                      Quote(CliPath()) + " convert " + Quote(list) + " >/dev/null",
                      "flac -5 -s -f -o " + Quote(theirs) + " " + Quote(source)))
        return 1;
    const auto ours = std::filesystem::file_size(dir / "out" / "ours.flac");
    const auto reference = std::filesystem::file_size(theirs);
    std::printf("  size A %ju bytes, B %ju bytes, A/B %.4f\n", static_cast<std::uintmax_t>(ours),
                static_cast<std::uintmax_t>(reference), static_cast<double>(ours) / static_cast<double>(reference));
    std::filesystem::remove_all(dir);
    return 0;
}
