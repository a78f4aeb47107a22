#include "engine/loudness/NormalizingGain.h"

#include <cmath>

namespace tessival {

double NormalizingGain::Factor() const { return std::pow(10.0, db / 20); }

NormalizingGain GainToTarget(const media::LoudnessReading& source, double targetLufs, double ceilingDbtp) {
    NormalizingGain gain;
    // Silence stays silence.
    if (!source.Heard()) return gain;
    gain.db = gain.wantedDb = targetLufs - source.integrated;
    const double peak = source.TruePeakDb();
    if (std::isfinite(peak) && peak + gain.db > ceilingDbtp) {
        gain.db = ceilingDbtp - peak;
        gain.limited = true;
    }
    return gain;
}

}  // namespace tessival
