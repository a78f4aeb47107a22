#pragma once

// Test media made with the ffmpeg and sox tools, and checks through ffprobe and ffmpeg decoding.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/RunProcess.h"

namespace tessival::media::test {

using tessival::test::RunProcess;
using tessival::test::ShellQuote;

// A tone with a second partial, so that channel mix-ups and resampling errors show.
inline bool MakeTone(const std::string& path, int rate, int channels, const std::string& codec, double seconds,
                     const std::string& extra = "") {
    std::ostringstream cmd;
    cmd << "ffmpeg -nostdin -v error -y -f lavfi -i 'sine=frequency=440:sample_rate=" << rate
        << ":duration=" << seconds << "' -f lavfi -i 'sine=frequency=1250:sample_rate=" << rate
        << ":duration=" << seconds << "' -filter_complex '[0][1]amerge=inputs=2,pan="
        << (channels == 1 ? "mono|c0=0.5*c0+0.4*c1" : "stereo|c0=0.8*c0|c1=0.7*c1") << ",volume=4"
        << "' -c:a " << codec << " " << extra << " " << ShellQuote(path);
    return RunProcess(cmd.str()).exitCode == 0;
}

// One second of 16-bit PCM with as many channels as asked (more than any encoder takes, say).
inline bool MakeManyChannels(const std::string& path, int channels) {
    return RunProcess("sox -n -c " + std::to_string(channels) + " -r 44100 -b 16 " + ShellQuote(path) +
                      " synth 1 sine 440")
               .exitCode == 0;
}

// ffprobe's view of the first audio stream: codec_name, sample_rate, channels, ...
inline std::map<std::string, std::string> Probe(const std::string& path) {
    const auto result = RunProcess("ffprobe -v error -select_streams a:0 -count_packets -show_entries "
                                   "stream=codec_name,codec_tag,sample_rate,channels,bits_per_sample,block_align,"
                                   "duration_ts,nb_read_packets -of default=nw=1 " +
                                   ShellQuote(path) + " 2>&1");
    std::map<std::string, std::string> fields;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        const auto eq = line.find('=');
        if (eq != std::string::npos) fields[line.substr(0, eq)] = line.substr(eq + 1);
    }
    if (result.exitCode != 0) fields["error"] = result.output;
    return fields;
}

inline int ProbedInt(const std::string& path, const char* field) {
    const auto fields = Probe(path);
    const auto it = fields.find(field);
    return it == fields.end() ? -1 : std::stoi(it->second);
}

// One second of a sine of one frequency, encoded as the options say.
inline bool MakeSine(const std::string& path, int frequency, int rate, int channels, const std::string& codec) {
    return RunProcess("ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=" + std::to_string(frequency) +
                      ":sample_rate=" + std::to_string(rate) + ":duration=1 -ac " + std::to_string(channels) +
                      " -c:a " + codec + " " + ShellQuote(path))
               .exitCode == 0;
}

// Sign changes of the first channel between two times: twice the frequency per second.
inline int ZeroCrossings(const std::vector<float>& stereo, int rate, double from, double to) {
    int count = 0;
    const auto last = std::min(stereo.size() / 2, static_cast<std::size_t>(to * rate));
    for (auto i = static_cast<std::size_t>(from * rate) + 1; i < last; ++i)
        count += (stereo[2 * i - 2] < 0) != (stereo[2 * i] < 0);
    return count;
}

// The file decoded by ffmpeg to float samples at the given rate and channel count.
inline std::vector<float> DecodeFloat(const std::string& path, int rate, int channels) {
    const auto result = RunProcess("ffmpeg -nostdin -v error -i " + ShellQuote(path) + " -ar " + std::to_string(rate) +
                                   " -ac " + std::to_string(channels) + " -f f32le -");
    std::vector<float> samples(result.output.size() / sizeof(float));
    if (!samples.empty()) std::memcpy(samples.data(), result.output.data(), samples.size() * sizeof(float));
    return samples;
}

// The same conversion done by ffmpeg, as the reference for ours.
inline bool FfmpegConvert(const std::string& source, const std::string& out, int rate, int channels, int bits) {
    const std::string codec = bits == 8 ? "pcm_u8" : bits == 16 ? "pcm_s16le" : "pcm_s24le";
    return RunProcess("ffmpeg -nostdin -v error -y -i " + ShellQuote(source) + " -ar " + std::to_string(rate) + " -ac " +
                      std::to_string(channels) + " -c:a " + codec + " " + ShellQuote(out))
               .exitCode == 0;
}

// Root-mean-square difference over the common length, relative to the reference's RMS.
inline double RelativeError(const std::vector<float>& reference, const std::vector<float>& actual) {
    const std::size_t n = std::min(reference.size(), actual.size());
    double diff = 0, power = 0;
    for (std::size_t i = 0; i < n; ++i) {
        diff += (reference[i] - actual[i]) * (reference[i] - actual[i]);
        power += reference[i] * reference[i];
    }
    return power > 0 ? std::sqrt(diff / power) : 1.0;
}

}  // namespace tessival::media::test
