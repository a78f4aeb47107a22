// Ogg Vorbis, whole processes, alternating: the quality list (tessival-cli qualities) against
// `ffmpeg -version`, the least an ffmpeg process does; a one-second WAVE against ffmpeg writing
// the same; a 300-second WAVE at 128 kbps against oggenc -b 128 and against ffmpeg.
#include <filesystem>

#include "ProcessPair.h"

using namespace tessival::bench;

namespace {

bool MakeSource(const std::string& path, int seconds) {
    return RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:sample_rate=44100:duration=" +
                    std::to_string(seconds) + "' -af 'aeval=val(0)*0.5+0.01*random(0)' -ac 2 -c:a pcm_s16le " +
                    Quote(path));
}

bool MakeList(const std::string& cli, const std::string& list, const std::filesystem::path& out,
              const std::string& source) {
    return RunShell(Quote(cli) + " add " + Quote(list) + " --dest-type='Ogg Vorbis' --dest-path=" +
                    Quote(out.string()) + " --quality=2,128,0,44100 " + Quote(source) + " >/dev/null");
}

}  // namespace

int main() {
    const std::string cli = CliPath();
    const auto dir = FreshBenchDir("tessival-vorbis-bench");
    const std::string shortSource = (dir / "one-second.wav").string(), longSource = (dir / "long.wav").string();
    const std::string shortList = (dir / "short.tsl").string(), longList = (dir / "long.tsl").string();
    if (!MakeSource(shortSource, 1) || !MakeSource(longSource, 300) || !MakeList(cli, shortList, dir / "out", shortSource) ||
        !MakeList(cli, longList, dir / "out", longSource)) {
        std::fprintf(stderr, "cannot make the sources or the lists\n");
        return 1;
    }
    bool ok = ComparePairs("qualities \"Ogg Vorbis\"; A tessival-cli, B ffmpeg -version",
                           Quote(cli) + " qualities 'Ogg Vorbis' >/dev/null", "ffmpeg -version >/dev/null", 11);
    ok = CompareWithFfmpeg("1 s WAV -> Ogg Vorbis 128 kbps stereo", cli, shortList, shortSource,
                           "-c:a libvorbis -b:a 128k -ar 44100 -ac 2", (dir / "out" / "ffmpeg.ogg").string(), 11) && ok;
    const std::string ours = Quote(cli) + " convert " + Quote(longList) + " >/dev/null";
    ok = ComparePairs("300 s WAV -> Ogg Vorbis 128 kbps stereo; A tessival-cli, B oggenc -b 128", ours,
                      "oggenc -Q -b 128 -o " + Quote((dir / "out" / "oggenc.ogg").string()) + " " + Quote(longSource)) &&
         ok;
    ok = CompareWithFfmpeg("300 s WAV -> Ogg Vorbis 128 kbps stereo", cli, longList, longSource,
                           "-c:a libvorbis -b:a 128k -ar 44100 -ac 2", (dir / "out" / "ffmpeg-long.ogg").string()) && ok;
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
