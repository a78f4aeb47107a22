// Eight 40-second WAVE files to "MPEG Layer-3" 128 kbps stereo: tessival-cli convert --jobs=2 (A)
// against --jobs=1 (B), then --jobs=2 against two ffmpeg processes at a time doing the same files.
#include <filesystem>

#include "ProcessPair.h"

using namespace tessival::bench;

int main() {
    const std::string cli = CliPath();
    const std::string dir = (std::filesystem::temp_directory_path() / "tessival-jobs-bench").string();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir + "/out");
    const std::string list = dir + "/list.tsl";
    std::string sources;
    for (int i = 1; i <= 8; ++i) {
        const std::string source = dir + "/s" + std::to_string(i) + ".wav";
        if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=" + std::to_string(300 + 50 * i) +
                      ":sample_rate=44100:duration=40' -ac 2 -c:a pcm_s16le " + Quote(source))) {
            std::fprintf(stderr, "cannot make the sources\n");
            return 1;
        }
        sources += " " + Quote(source);
    }
    if (!RunShell(Quote(cli) + " add " + Quote(list) + " --dest-type=MP3 --dest-path=" + Quote(dir + "/out") +
                  " --quality=2,128,0,44100" + sources + " >/dev/null")) {
        std::fprintf(stderr, "cannot make the list\n");
        return 1;
    }
    const std::string convert = Quote(cli) + " convert " + Quote(list) + " >/dev/null";
    bool ok = ComparePairs("8 x 40 s WAV -> MP3 128 kbps; A --jobs=2, B --jobs=1 (throughput gain = 1/ratio)",
                           convert + " --jobs=2", convert + " --jobs=1");
    ok = ComparePairs("8 x 40 s WAV -> MP3 128 kbps; A --jobs=2, B ffmpeg two at a time",
                      convert + " --jobs=2",
                      "parallel --will-cite -j2 ffmpeg -nostdin -v error -y -i {} -c:a libmp3lame -b:a 128k -ar 44100 "
                      "-ac 2 -f wav {.}.ff.wav :::" + sources) &&
         ok;
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
