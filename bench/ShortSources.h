#pragma once
// One-second WAVE sources for the benchmarks of many short items.
#include <filesystem>
#include <string>

#include "ProcessPair.h"

namespace tessival::bench {

// `count` copies of one second of a 48000 Hz stereo sine in `dir` (s1.wav, s2.wav...), as the
// quoted words of a command line; empty when ffmpeg cannot make the first.
inline std::string MakeOneSecondSources(const std::filesystem::path& dir, int count) {
    const std::string first = (dir / "s1.wav").string();
    if (!RunShell("ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:sample_rate=48000:duration=1' -ac 2 "
                  "-c:a pcm_s16le " + Quote(first)))
        return {};
    std::string sources = " " + Quote(first);
    for (int i = 2; i <= count; ++i) {
        const auto copy = dir / ("s" + std::to_string(i) + ".wav");
        std::filesystem::copy_file(first, copy);
        sources += " " + Quote(copy.string());
    }
    return sources;
}

// Adds the sources to a new list whose items convert to "WAV (PCM)" 44100 Hz 16-bit stereo in `out`.
inline bool MakePcmList(const std::string& cli, const std::string& list, const std::string& out,
                        const std::string& sources) {
    return RunShell(Quote(cli) + " add " + Quote(list) + " --dest-type='WAV (PCM)' --dest-path=" + Quote(out) +
                    " --quality=2,1411,16,44100" + sources + " >/dev/null");
}

}  // namespace tessival::bench
