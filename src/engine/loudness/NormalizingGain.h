#pragma once

#include "platform/media/filters/analysis/LoudnessMeter.h"

namespace tessival {

// The gain that brings a source to a target loudness without a limiter: never so much that its
// true peak would rise over the ceiling.
struct NormalizingGain {
    double db = 0;
    double wantedDb = 0;  // what the target alone asked for
    bool limited = false;  // the ceiling held the gain down

    double Factor() const;
};

NormalizingGain GainToTarget(const media::LoudnessReading& source, double targetLufs, double ceilingDbtp);

}  // namespace tessival
