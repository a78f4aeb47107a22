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

    // What a target and a ceiling may be: quieter than -70 LUFS is silence, and above full scale
    // nothing can be played back unclipped.
    static constexpr double kLowestTarget = -70;
    static constexpr double kLowestCeiling = -20;
    static constexpr double kHighest = 0;

    bool Measures() const { return replayGain != ReplayGainMode::Off || normalizeTo.has_value(); }
    static bool TargetInRange(double lufs) { return lufs >= kLowestTarget && lufs <= kHighest; }
    static bool CeilingInRange(double dbtp) { return dbtp >= kLowestCeiling && dbtp <= kHighest; }

    static LoudnessSettings Current();
    static void Set(const LoudnessSettings& settings);
};

}  // namespace tessival
