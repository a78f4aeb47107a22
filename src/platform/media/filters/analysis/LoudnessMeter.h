#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/media/WaveFormat.h"

namespace tessival::media {

// What a meter heard: integrated loudness with its gating, loudness range and the peaks.
struct LoudnessReading {
    double integrated = -HUGE_VAL;  // LUFS; -inf when nothing passed the gate (silence)
    double range = 0;               // LU
    double truePeak = 0;            // linear, 1 is full scale; 4x oversampled below 96 kHz
    double samplePeak = 0;          // linear

    bool Heard() const { return std::isfinite(integrated); }
    double TruePeakDb() const { return truePeak > 0 ? 20 * std::log10(truePeak) : -HUGE_VAL; }
};

// Measures loudness as broadcasters do (gated integrated loudness, loudness range, true peak) on
// libebur128. Fed on one thread at a time; read once feeding has ended.
class LoudnessMeter {
public:
    LoudnessMeter();
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    // Interleaved PCM of that format; formats that are not plain PCM are left out. A change of
    // rate or channels goes on measuring the same programme.
    void Measure(const WAVEFORMATEX& format, std::span<const std::uint8_t> data);
    // Interleaved floats from -1 to 1.
    void MeasureFloat(unsigned channels, unsigned long rate, std::span<const float> samples);

    LoudnessReading Reading() const;
    // The loudness of the last 400 ms, LUFS; -inf before any audio.
    double Momentary() const;

    // The meters' audio taken as one programme (an album): gated over all of it, peaks the highest.
    static LoudnessReading Combined(std::span<const LoudnessMeter* const> meters);

private:
    struct State;  // libebur128's, whose type cannot be declared ahead
    bool Follow(unsigned channels, unsigned long rate);

    std::unique_ptr<State> state_;
    std::vector<float> scratch_;
    std::vector<std::int16_t> scratch16_;  // aligned copies of 16-bit input
    unsigned channels_ = 0;
    unsigned long rate_ = 0;
};

}  // namespace tessival::media
