#pragma once

#include <string>

#include "platform/media/filters/analysis/LoudnessMeter.h"

namespace tessival {

// Writes an output's gain tags after it is finished, through the atomic replace: the track's, and
// with an album reading the album's too. Opus files get R128 tags and lose any ReplayGain ones.
// 0 or an errno value (ENOTSUP for a type that carries no such tags).
int WriteGainTags(const std::string& path, const media::LoudnessReading& track, const media::LoudnessReading* album);

}  // namespace tessival
