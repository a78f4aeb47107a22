#pragma once

#include <optional>

namespace tessival {

enum class ReplayGainMode { Off, Track, Album };

// What conversions do about loudness, for the whole process: gain tags written into the outputs,
// and a gain applied so that each output plays at a target loudness. Read as each item starts.
struct LoudnessSettings {
    ReplayGainMode replayGain = ReplayGainMode::Off;
    std::optional<double> normalizeTo;  // LUFS
    double truePeakCeiling = -1.0;      // dBTP that normalising never pushes the peaks over

    bool Measures() const { return replayGain != ReplayGainMode::Off || normalizeTo.has_value(); }

    static LoudnessSettings Current();
    static void Set(const LoudnessSettings& settings);
};

}  // namespace tessival
