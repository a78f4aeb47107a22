#pragma once

#include <string>

#include "cli/BatchOptions.h"
#include "platform/devices/RipSettings.h"

namespace tessival::cli {

// Takes --read-offset=SAMPLES (the drive's read offset, -5000 to 5000), --verify (read each CD
// track twice, test and copy), --lookup (ask AccurateRip and MusicBrainz, or else gnudb, about
// the disc), --accuraterip-url=URL, --musicbrainz-url=URL and --gnudb-url=URL (the services' base
// URLs) into settings.
OptionParse ParseRipOption(const std::string& arg, RipSettings& settings);

}  // namespace tessival::cli
