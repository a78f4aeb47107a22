#include "engine/loudness/ItemLoudness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tessival {
namespace {

constexpr unsigned kRate = 48000;

// A second of a stereo 1 kHz sine peaking at `dbfs`, 16-bit: as loud as that in LUFS.
std::vector<std::uint8_t> Second(double dbfs) {
    std::vector<std::uint8_t> pcm;
    const double amplitude = 32767 * std::pow(10.0, dbfs / 20);
    for (unsigned n = 0; n < kRate; ++n) {
        const auto value = static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * M_PI * 1000.0 * n / kRate)));
        for (int channel = 0; channel < 2; ++channel)
            pcm.insert(pcm.end(), {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)});
    }
    return pcm;
}

// The display reads the last 400 ms from the window's thread; nothing is worked out for it until
// it first asks, and each later buffer hands over a fresh value.
TEST(ItemLoudnessTest, HandsTheMomentaryLoudnessOverOnceAsked) {
    const media::WAVEFORMATEX format = media::MakePcmFormat(kRate, 2, 16);
    ItemLoudness loudness;
    auto loud = Second(-20);
    auto quiet = Second(-30);
    loudness.Tap(format, loud);
    loudness.Meter();  // all measured
    EXPECT_EQ(loudness.Momentary(), -HUGE_VAL);
    loudness.Tap(format, loud);
    loudness.Meter();
    EXPECT_NEAR(loudness.Momentary(), -20, 0.1);
    loudness.Tap(format, quiet);
    loudness.Meter();
    EXPECT_NEAR(loudness.Momentary(), -30, 0.1);
}

}  // namespace
}  // namespace tessival
