#include "engine/loudness/NormalizingGain.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tessival {
namespace {

TEST(NormalizingGain, ReachesTheTargetUnderTheCeiling) {
    struct Case {
        double integrated, truePeakDb, target, ceiling;
        double db;
        bool limited;
    } cases[] = {
        {-23, -10, -16, -1, 7, false},   // up, room to spare
        {-10, -1, -16, -1, -6, false},   // down
        {-23, -3, -16, -1, 2, true},     // up, held at the ceiling
        {-20, -1, -16, -1, 0, true},     // already at the ceiling
        {-16, -0.5, -16, -1, -0.5, true},  // on target but over the ceiling: down to it
    };
    for (const Case& c : cases) {
        media::LoudnessReading source;
        source.integrated = c.integrated;
        source.truePeak = std::pow(10.0, c.truePeakDb / 20);
        const NormalizingGain gain = GainToTarget(source, c.target, c.ceiling);
        EXPECT_NEAR(gain.db, c.db, 1e-9) << c.integrated << " " << c.truePeakDb;
        EXPECT_EQ(gain.limited, c.limited) << c.integrated << " " << c.truePeakDb;
        EXPECT_NEAR(gain.wantedDb, c.target - c.integrated, 1e-9);
    }
    // Silence is left alone.
    EXPECT_EQ(GainToTarget(media::LoudnessReading{}, -16, -1).db, 0);
}

}  // namespace
}  // namespace tessival
