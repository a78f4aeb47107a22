#include "platform/media/filters/analysis/LoudnessMeter.h"

#include <ebur128.h>

#include <algorithm>
#include <cstring>

#include "platform/media/PcmSamples.h"

namespace tessival::media {
namespace {

// Every block's loudness is kept (some 160 bytes a second of audio), not a histogram of them:
// the histogram's bins move blocks near the relative gate across it, by tenths of a LU.
constexpr int kModes = EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK | EBUR128_MODE_SAMPLE_PEAK;

double HighestPeak(ebur128_state* state, int (*peakOf)(ebur128_state*, unsigned, double*)) {
    double highest = 0;
    for (unsigned channel = 0; channel < state->channels; ++channel) {
        double peak = 0;
        if (peakOf(state, channel, &peak) == EBUR128_SUCCESS) highest = std::max(highest, peak);
    }
    return highest;
}

}  // namespace

struct LoudnessMeter::State {
    explicit State(ebur128_state* made) : meter(made) {}
    ~State() { ebur128_destroy(&meter); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ebur128_state* meter;
};

LoudnessMeter::LoudnessMeter() = default;
LoudnessMeter::~LoudnessMeter() = default;

bool LoudnessMeter::Follow(unsigned channels, unsigned long rate) {
    if (channels == 0 || rate == 0) return false;
    if (!state_) {
        ebur128_state* made = ebur128_init(channels, rate, kModes);
        if (!made) return false;
        state_ = std::make_unique<State>(made);
    } else if (channels != channels_ || rate != rate_) {
        const int changed = ebur128_change_parameters(state_->meter, channels, rate);
        if (changed != EBUR128_SUCCESS && changed != EBUR128_ERROR_NO_CHANGE) return false;
    }
    channels_ = channels;
    rate_ = rate;
    return true;
}

void LoudnessMeter::Measure(const WAVEFORMATEX& format, std::span<const std::uint8_t> data) {
    const SampleReader read = PcmReader(format);
    const std::size_t bytes = format.wBitsPerSample / 8;
    if (!read || format.nChannels == 0 || format.nBlockAlign != format.nChannels * bytes) return;
    const std::size_t frames = data.size() / format.nBlockAlign;
    // 16-bit PCM, the common case, goes in as it is.
    if (format.wFormatTag == WAVE_FORMAT_PCM && bytes == 2 && Follow(format.nChannels, format.nSamplesPerSec)) {
        scratch16_.resize(frames * format.nChannels);
        std::memcpy(scratch16_.data(), data.data(), scratch16_.size() * 2);
        ebur128_add_frames_short(state_->meter, scratch16_.data(), frames);
        return;
    }
    const std::size_t count = frames * format.nChannels;
    scratch_.resize(count);
    for (std::size_t i = 0; i < count; ++i) scratch_[i] = read(data.data() + i * bytes);
    MeasureFloat(format.nChannels, format.nSamplesPerSec, scratch_);
}

void LoudnessMeter::MeasureFloat(unsigned channels, unsigned long rate, std::span<const float> samples) {
    if (!Follow(channels, rate)) return;
    ebur128_add_frames_float(state_->meter, samples.data(), samples.size() / channels);
}

LoudnessReading LoudnessMeter::Reading() const {
    const LoudnessMeter* self = this;
    return Combined(std::span(&self, 1));
}

double LoudnessMeter::Momentary() const {
    double momentary = -HUGE_VAL;
    if (state_) ebur128_loudness_momentary(state_->meter, &momentary);
    return momentary;
}

LoudnessReading LoudnessMeter::Combined(std::span<const LoudnessMeter* const> meters) {
    std::vector<ebur128_state*> states;
    LoudnessReading reading;
    for (const LoudnessMeter* meter : meters) {
        if (!meter || !meter->state_) continue;
        states.push_back(meter->state_->meter);
        reading.truePeak = std::max(reading.truePeak, HighestPeak(meter->state_->meter, &ebur128_true_peak));
        reading.samplePeak = std::max(reading.samplePeak, HighestPeak(meter->state_->meter, &ebur128_sample_peak));
    }
    if (states.empty()) return reading;
    double integrated = -HUGE_VAL;
    if (ebur128_loudness_global_multiple(states.data(), states.size(), &integrated) == EBUR128_SUCCESS)
        reading.integrated = integrated;
    double range = 0;
    if (ebur128_loudness_range_multiple(states.data(), states.size(), &range) == EBUR128_SUCCESS) reading.range = range;
    return reading;
}

}  // namespace tessival::media
