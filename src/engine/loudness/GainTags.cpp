#include "engine/loudness/GainTags.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tessival {
namespace {

TagFields GainTags(const media::LoudnessReading& reading, bool opus, const char* scope) {
    if (!reading.Heard()) return {};
    const std::string upper = scope;
    if (opus) return {{"R128_" + upper + "_GAIN", OpusGainText(reading)}};
    return {{"REPLAYGAIN_" + upper + "_GAIN", GainText(ReplayGainDb(reading))},
            {"REPLAYGAIN_" + upper + "_PEAK", PeakText(reading.truePeak)}};
}

}  // namespace

double ReplayGainDb(const media::LoudnessReading& reading) {
    return reading.Heard() ? kReplayGainReference - reading.integrated : 0.0;
}

std::string GainText(double db) {
    char text[32];
    // No "-0.00 dB".
    const double rounded = std::round(db * 100) / 100;
    std::snprintf(text, sizeof text, "%.2f dB", rounded == 0 ? 0.0 : rounded);
    return text;
}

std::string PeakText(double linear) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", linear);
    return text;
}

std::string OpusGainText(const media::LoudnessReading& reading) {
    const double gain = reading.Heard() ? kOpusGainReference - reading.integrated : 0.0;
    const long q78 = std::clamp(std::lround(gain * 256), -32768L, 32767L);
    return std::to_string(q78);
}

TagFields TrackGainTags(const media::LoudnessReading& reading, bool opus) { return GainTags(reading, opus, "TRACK"); }

TagFields AlbumGainTags(const media::LoudnessReading& reading, bool opus) { return GainTags(reading, opus, "ALBUM"); }

}  // namespace tessival
