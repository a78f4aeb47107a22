// A ten-minute WAV converted by tessival-cli to a "LAME MP3" file at 192 kbps and to a "FLAC" file
// at level 5 (at the source's own bits and frequency), each beside ffmpeg writing the same codec,
// settings and container. The two run alternately, five pairs; the median ratio (ours / ffmpeg's)
// is printed with its min and max.
#include <cstdio>
#include <filesystem>
#include <string>

#include "ProcessPair.h"

#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"

namespace {

using tessival::bench::CliPath;
using tessival::bench::CompareWithFfmpeg;
using tessival::bench::Quote;
using tessival::bench::RunShell;

struct Case {
    const char* title;
    const char* destType;
    const char* extension;
    tessival::QualityInfo quality;
    const char* ffmpegCodec;  // the same encoder and settings for ffmpeg
};

bool WriteList(const std::string& list, const std::string& source, const std::string& out, const Case& c) {
    tessival::ConvertItem item = tessival::MakeSingleFileItem(source);
    tessival::WriteField(item.destPath, out);
    tessival::WriteField(item.destName, std::string("ours.") + c.extension);
    tessival::WriteField(item.destType, c.destType);
    item.quality = c.quality;
    tessival::ItemList items;
    items.Append(item);
    return tessival::WriteListFile(list, items) == tessival::ListFileResult::Ok;
}

bool Run(const Case& c, const std::string& cli, const std::filesystem::path& dir, const std::string& source) {
    const std::string out = (dir / "out").string();
    const std::string list = (dir / (std::string(c.extension) + ".tsl")).string();
    if (!WriteList(list, source, out, c)) return false;
    const std::string theirs = (dir / "out" / (std::string("ffmpeg.") + c.extension)).string();
    return CompareWithFfmpeg(c.title, cli, list, source, c.ffmpegCodec, theirs);
}

}  // namespace

int main() {
    const std::string cli = CliPath();
    const auto dir = std::filesystem::temp_directory_path() / "tessival-filetypes-bench";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "out");
    const std::string source = (dir / "ten-minutes.wav").string();
    if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:duration=600' -f lavfi -i "
             "'anoisesrc=d=600:a=0.1' -filter_complex amerge=inputs=2 -ac 2 -ar 44100 -c:a pcm_s16le " +
             Quote(source))) {
        std::fprintf(stderr, "cannot make the benchmark input\n");
        return 1;
    }
    const Case cases[] = {
        {"ten-minute WAV -> LAME MP3 192 kbps", "LAME MP3", "mp3", {0x0055, 2, 44100, 192 * 125, 1, 0, 0},
         "-c:a libmp3lame -b:a 192k"},
        // The default FLAC choice: the source's own bits and frequency, as ffmpeg keeps them.
        {"ten-minute WAV -> FLAC level 5 at the source's bits and frequency", "FLAC", "flac",
         {0xF1AC, 2, 0, 5 * 125, 1, 0, 0}, "-c:a flac -compression_level 5"},
    };
    int result = 0;
    for (const Case& c : cases) {
        if (!Run(c, cli, dir, source)) {
            std::fprintf(stderr, "%s: a conversion failed\n", c.title);
            result = 1;
        }
    }
    std::filesystem::remove_all(dir);
    return result;
}
