#include "cli/AddOptions.h"

#include <cstring>

#include "cli/RipOptions.h"

namespace tessival::cli {
namespace {

bool TakeOption(const std::string& arg, const char* name, std::string& value) {
    const std::size_t length = std::strlen(name);
    if (arg.compare(0, length, name) != 0) return false;
    value = arg.substr(length);
    return true;
}

bool TakeValueOption(const std::string& arg, AddOptions& options) {
    return TakeOption(arg, "--dest-type=", options.destType) || TakeOption(arg, "--dest-path=", options.destPath) ||
           TakeOption(arg, "--quality=", options.quality) || TakeOption(arg, "--cd=", options.drive) ||
           TakeOption(arg, "--capture=", options.capture) || TakeOption(arg, "--files-from=", options.filesFrom) ||
           TakeOption(arg, "--name=", options.name) || TakeOption(arg, "--name-charset=", options.nameCharset) ||
           TakeOption(arg, "--on-clash=", options.onClash);
}

// Only the look-up's options: reading options belong to convert.
bool TakeLookUpOption(const std::string& arg, AddOptions& options) {
    const bool lookUp =
        arg == "--lookup" || arg.rfind("--musicbrainz-url=", 0) == 0 || arg.rfind("--gnudb-url=", 0) == 0;
    return lookUp && ParseRipOption(arg, options.lookUp) == OptionParse::Taken;
}

bool TakeFlag(const std::string& arg, AddOptions& options) {
    if (arg == "--cd") return options.cd = true;
    if (arg == "--null") return options.nullSeparated = true;
    return false;
}

}  // namespace

bool ParseAddOptions(const std::vector<std::string>& args, AddOptions& options) {
    for (const std::string& arg : args) {
        if (TakeValueOption(arg, options) || TakeFlag(arg, options) || TakeLookUpOption(arg, options)) continue;
        if (arg.rfind("--", 0) == 0) return false;
        if (options.list.empty())
            options.list = arg;
        else
            options.files.push_back(arg);
    }
    options.cd = options.cd || !options.drive.empty();
    // --null tells how the names of --files-from are separated.
    if (options.nullSeparated && options.filesFrom.empty()) return false;
    const bool knownCharset = options.nameCharset.empty() || options.nameCharset == "portable" ||
                              options.nameCharset == "posix";
    const bool knownClash = options.onClash.empty() || options.onClash == "number" || options.onClash == "fail";
    if (!knownCharset || !knownClash) return false;
    return !options.list.empty() &&
           (!options.files.empty() || !options.filesFrom.empty() || options.cd || !options.capture.empty());
}

}  // namespace tessival::cli
