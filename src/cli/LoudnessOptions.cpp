#include "cli/LoudnessOptions.h"

#include <cstdlib>

namespace tessival::cli {
namespace {

bool ParseDecibels(const std::string& text, bool (*inRange)(double), double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && inRange(value);
}

}  // namespace

OptionParse ParseLoudnessOption(const std::string& arg, LoudnessSettings& settings) {
    if (arg == "--replaygain=track" || arg == "--replaygain=album") {
        settings.replayGain = arg.back() == 'k' ? ReplayGainMode::Track : ReplayGainMode::Album;
        return OptionParse::Taken;
    }
    if (arg.rfind("--replaygain=", 0) == 0) return OptionParse::Bad;
    double value = 0;
    if (arg.rfind("--normalize=", 0) == 0) {
        if (!ParseDecibels(arg.substr(12), LoudnessSettings::TargetInRange, value)) return OptionParse::Bad;
        settings.normalizeTo = value;
        return OptionParse::Taken;
    }
    if (arg.rfind("--true-peak=", 0) == 0) {
        if (!ParseDecibels(arg.substr(12), LoudnessSettings::CeilingInRange, value)) return OptionParse::Bad;
        settings.truePeakCeiling = value;
        return OptionParse::Taken;
    }
    return OptionParse::NotMine;
}

}  // namespace tessival::cli
