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
    if (value.empty() || *end || std::labs(offset) > RipSettings::kMostReadOffset) return OptionParse::Bad;
    settings.readOffset = static_cast<int>(offset);
    return OptionParse::Taken;
}

}  // namespace tessival::cli
