#pragma once

#include <string>
#include <vector>

#include "platform/devices/RipSettings.h"

namespace tessival::cli {

// What `tessival-cli add` was asked to do.
struct AddOptions {
    std::string list;
    std::string destType;
    std::string destPath;
    std::string quality;  // as `qualities TYPE` shows it, comma-separated
    std::string capture;  // a device index or name, and an input line after a colon
    std::vector<std::string> files;
    std::string filesFrom;  // a file of names, "-" for standard input
    bool nullSeparated = false;
    std::string name;         // a naming pattern, empty for today's names
    std::string nameCharset;  // "portable" or "posix"
    std::string onClash;      // "number" or "fail"
    bool cd = false;
    std::string drive;  // empty: every drive
    // --lookup and the services' base URLs: what names a CD's tracks when CD-Text says nothing.
    RipSettings lookUp;
};

// False for an option it does not know or a command line that adds nothing.
bool ParseAddOptions(const std::vector<std::string>& args, AddOptions& options);

}  // namespace tessival::cli
