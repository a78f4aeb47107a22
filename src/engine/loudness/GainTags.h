#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/media/filters/analysis/LoudnessMeter.h"

namespace tessival {

using TagFields = std::vector<std::pair<std::string, std::string>>;

// Players turn a track (or its album) to -18 LUFS by the ReplayGain tags, or to -23 LUFS by
// Opus's own R128 tags; Opus files carry only the latter.
inline constexpr double kReplayGainReference = -18.0;
inline constexpr double kOpusGainReference = -23.0;

// The gain that brings the reading to the ReplayGain reference, dB; 0 for silence.
double ReplayGainDb(const media::LoudnessReading& reading);
// "-6.52 dB", "1.00 dB".
std::string GainText(double db);
// "0.988553": the true peak, linear.
std::string PeakText(double linear);
// The gain to -23 LUFS as a Q7.8 fixed-point number, "-1664"; held inside 16 bits.
std::string OpusGainText(const media::LoudnessReading& reading);

// The tags of a track's reading, or of its album's, for a file in Opus or another codec. Silence
// gets none: it has no loudness to correct.
TagFields TrackGainTags(const media::LoudnessReading& reading, bool opus);
TagFields AlbumGainTags(const media::LoudnessReading& reading, bool opus);

}  // namespace tessival
