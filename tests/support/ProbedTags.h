#pragma once

#include <cctype>
#include <map>
#include <sstream>
#include <string>

#include "support/RunProcess.h"

namespace tessival::test {

// ffprobe's tags of a file, keys in lower case, without the muxer's own "encoder".
inline std::map<std::string, std::string> ProbedTags(const std::string& path) {
    const auto result =
        RunProcess("ffprobe -v error -show_entries format_tags:stream_tags -of default=nw=1 " + ShellQuote(path));
    std::map<std::string, std::string> tags;
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        const auto eq = line.find('=');
        if (line.rfind("TAG:", 0) != 0 || eq == std::string::npos) continue;
        std::string key = line.substr(4, eq - 4);
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (key != "encoder") tags[key] = line.substr(eq + 1);
    }
    return tags;
}

}  // namespace tessival::test
