#include "platform/media/filters/analysis/LoudnessMeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace tessival::media {
namespace {

constexpr unsigned kRate = 48000;

struct Segment {
    double dbfs;  // peak of a stereo 1 kHz sine, each channel
    double seconds;
};

std::vector<float> Sines(const std::vector<Segment>& segments) {
    std::vector<float> samples;
    std::size_t n = 0;
    for (const Segment& segment : segments) {
        const double amplitude = std::pow(10.0, segment.dbfs / 20);
        for (std::size_t end = n + static_cast<std::size_t>(segment.seconds * kRate); n < end; ++n) {
            const auto value = static_cast<float>(amplitude * std::sin(2 * M_PI * 1000.0 * n / kRate));
            samples.insert(samples.end(), {value, value});
        }
    }
    return samples;
}

// The broadcasters' test signals with the readings their tech documents require.
TEST(LoudnessMeter, MeasuresTheBroadcastTestSignals) {
    struct Case {
        const char* name;
        std::vector<Segment> signal;
        double integrated;
        double range;  // NaN where the case says nothing of it
    } cases[] = {
        {"-23 dBFS", {{-23, 20}}, -23.0, NAN},
        {"-33 dBFS", {{-33, 20}}, -33.0, NAN},
        {"relative gate", {{-36, 10}, {-23, 60}, {-36, 10}}, -23.0, NAN},
        {"absolute gate", {{-72, 10}, {-36, 10}, {-23, 20}, {-36, 10}, {-72, 10}}, -23.0, NAN},
        {"range 10", {{-20, 20}, {-30, 20}}, -22.6, 10},
        {"range 5", {{-20, 20}, {-15, 20}}, -16.8, 5},
        {"range 20", {{-40, 20}, {-20, 20}}, -20.0, 20},
        {"range 15", {{-50, 20}, {-35, 20}, {-20, 20}, {-35, 20}, {-50, 20}}, -24.5, 15},
    };
    for (const Case& c : cases) {
        LoudnessMeter meter;
        meter.MeasureFloat(2, kRate, Sines(c.signal));
        const LoudnessReading reading = meter.Reading();
        EXPECT_NEAR(reading.integrated, c.integrated, 0.1) << c.name;
        if (!std::isnan(c.range)) {
            EXPECT_NEAR(reading.range, c.range, 1.0) << c.name;
        }
    }
}

// A quarter-rate sine whose samples all miss its crests by 45 degrees: the samples peak 3 dB
// under the wave, which only the oversampled peak sees.
TEST(LoudnessMeter, TruePeakSeesBetweenTheSamples) {
    const double amplitude = std::pow(10.0, -6.0 / 20);
    std::vector<std::uint8_t> pcm;
    for (unsigned n = 0; n < kRate; ++n) {
        const auto value = static_cast<std::int16_t>(std::lround(32767 * amplitude * std::sin(M_PI / 2 * n + M_PI / 4)));
        for (int channel = 0; channel < 2; ++channel)
            pcm.insert(pcm.end(), {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)});
    }
    LoudnessMeter meter;
    WAVEFORMATEX format = MakePcmFormat(kRate, 2, 16);
    meter.Measure(format, pcm);
    const LoudnessReading reading = meter.Reading();
    EXPECT_NEAR(reading.TruePeakDb(), -6.0, 0.3);
    EXPECT_NEAR(20 * std::log10(reading.samplePeak), -9.0, 0.1);
}

// An album is gated as one programme, not an average of its tracks' loudness; silence has none.
TEST(LoudnessMeter, CombinesTracksAsOneProgramme) {
    LoudnessMeter loud, quiet, silent;
    loud.MeasureFloat(2, kRate, Sines({{-20, 20}}));
    quiet.MeasureFloat(2, kRate, Sines({{-30, 20}}));
    silent.MeasureFloat(2, kRate, std::vector<float>(kRate * 2, 0.0f));
    const LoudnessMeter* album[] = {&loud, &quiet, &silent};
    const LoudnessReading reading = LoudnessMeter::Combined(album);
    EXPECT_NEAR(reading.integrated, -22.6, 0.1);
    EXPECT_NEAR(reading.range, 10, 1.0);
    EXPECT_NEAR(reading.TruePeakDb(), -20, 0.3);
    EXPECT_FALSE(silent.Reading().Heard());
}

}  // namespace
}  // namespace tessival::media
