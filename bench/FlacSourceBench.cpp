// A sixty-minute 24-bit stereo WAV, then a five-minute 16-bit one, converted by tessival-cli to
// "FLAC" at the source's own rate, bits and channels, level 5 (MD5, seek table and all), beside the
// reference encoder `flac -5` writing the same file. The two run alternately (five pairs, then
// nine); the median time ratio (ours / flac's) is printed with its min and max, and the sizes of
// the two files.
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

// A source of `seconds` of music-like content (a tone under noise, so the encoder has real work
// to do) converted to "FLAC" at the source's rate, bits and channels, level 5, beside `flac -5`.
bool CompareWithFlac(const std::filesystem::path& dir, const char* what, int seconds, int rate, const char* pcm,
                     int pairs) {
    const std::string source = (dir / "source.wav").string();
    const std::string length = std::to_string(seconds), hz = std::to_string(rate);
    if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:duration=" + length + ":sample_rate=" +
                  hz + "' -f lavfi -i 'anoisesrc=d=" + length + ":a=0.05:r=" + hz +
                  "' -filter_complex amerge=inputs=2 -ac 2 -c:a " + pcm + " " + Quote(source))) {
        std::fprintf(stderr, "cannot make the benchmark input\n");
        return false;
    }
    const std::string out = (dir / "out").string();
    const std::string list = (dir / "flac.tsl").string();
    if (!WriteList(list, source, out)) return false;
    const std::string theirs = (dir / "out" / "flac-5.flac").string();
    if (!ComparePairs(what, Quote(CliPath()) + " convert " + Quote(list) + " >/dev/null",
                      "flac -5 -s -f -o " + Quote(theirs) + " " + Quote(source) + " 2>/dev/null", pairs))
        return false;
    const auto ours = std::filesystem::file_size(dir / "out" / "ours.flac");
    const auto reference = std::filesystem::file_size(theirs);
    std::printf("  size A %ju bytes, B %ju bytes, A/B %.4f\n", static_cast<std::uintmax_t>(ours),
                static_cast<std::uintmax_t>(reference), static_cast<double>(ours) / static_cast<double>(reference));
    return true;
}

}  // namespace

int main() {
    const auto dir = tessival::bench::FreshBenchDir("tessival-flac-source-bench");
    const bool ok =
        CompareWithFlac(dir, "FLAC at Source, 60 min 24-bit 48 kHz stereo; A tessival-cli, B flac -5", 3600, 48000,
                        "pcm_s24le", 5) &&
        CompareWithFlac(dir, "FLAC at Source, 300 s 16-bit 44100 Hz stereo; A tessival-cli, B flac -5", 300, 44100,
                        "pcm_s16le", 9);
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
