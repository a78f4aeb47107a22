#pragma once

#include <string>

#include "cli/BatchOptions.h"
#include "engine/loudness/LoudnessSettings.h"

namespace tessival::cli {

// Takes --replaygain=track|album, --normalize=LUFS (-70 to 0) and --true-peak=DBTP (-20 to 0) into settings.
OptionParse ParseLoudnessOption(const std::string& arg, LoudnessSettings& settings);

}  // namespace tessival::cli
