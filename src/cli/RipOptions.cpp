#include "cli/RipOptions.h"

#include <cstdlib>

namespace tessival::cli {

OptionParse ParseRipOption(const std::string& arg, RipSettings& settings) {
    if (arg == "--verify" || arg == "--lookup") {
        (arg == "--verify" ? settings.testAndCopy : settings.lookUp) = true;
        return OptionParse::Taken;
    }
    for (auto [prefix, url] : {std::pair{"--accuraterip-url=", &settings.accurateRipUrl},
                               std::pair{"--musicbrainz-url=", &settings.musicBrainzUrl},
                               std::pair{"--gnudb-url=", &settings.gnudbUrl}}) {
        const std::string start = prefix;
        if (arg.rfind(start, 0) != 0) continue;
        *url = arg.substr(start.size());
        return url->empty() ? OptionParse::Bad : OptionParse::Taken;
    }
    if (arg.rfind("--read-offset=", 0) != 0) return OptionParse::NotMine;
    const std::string value = arg.substr(14);
    char* end = nullptr;
    const long offset = std::strtol(value.c_str(), &end, 10);
    // Drives are off by a few sectors at most; AccurateRip lists none beyond this.
    if (value.empty() || *end || offset < -5000 || offset > 5000) return OptionParse::Bad;
    settings.readOffset = static_cast<int>(offset);
    return OptionParse::Taken;
}

}  // namespace tessival::cli
