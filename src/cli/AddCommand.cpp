// tessival-cli add LIST.tsl FILE...: appends files to a list (creating it) as "From File" does.
#include <cstring>
#include <optional>

#include "cli/CliCommand.h"
#include "engine/QualityListing.h"
#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/shell/ConsoleShell.h"

namespace tessival::cli {
namespace {

constexpr const char* kUsage =
    "usage: tessival-cli add LIST.tsl [--dest-type=TYPE] [--dest-path=DIR] [--quality=CH,KBPS,BIT,FREQ] FILE...";

struct AddOptions {
    std::string list;
    std::string destType;
    std::string destPath;
    std::string quality;  // as `qualities TYPE` shows it, comma-separated
    std::vector<std::string> files;
};

bool TakeOption(const std::string& arg, const char* name, std::string& value) {
    const std::size_t length = std::strlen(name);
    if (arg.compare(0, length, name) != 0) return false;
    value = arg.substr(length);
    return true;
}

bool ParseAddOptions(const std::vector<std::string>& args, AddOptions& options) {
    for (const std::string& arg : args) {
        if (TakeOption(arg, "--dest-type=", options.destType) || TakeOption(arg, "--dest-path=", options.destPath) ||
            TakeOption(arg, "--quality=", options.quality))
            continue;
        if (arg.rfind("--", 0) == 0) return false;
        if (options.list.empty())
            options.list = arg;
        else
            options.files.push_back(arg);
    }
    return !options.list.empty() && !options.files.empty();
}

// The first quality of the dest type's encoder that shows as the given four numbers.
std::optional<QualityInfo> FindQuality(const std::string& destType, const std::string& shown) {
    ConsoleShell shell;
    for (const QualityInfo& quality : ListEncoderQualities(shell, QualityEncoderName(shell, destType))) {
        const auto cells = QualityCells(quality);
        if (cells[0] + "," + cells[1] + "," + cells[2] + "," + cells[3] == shown) return quality;
    }
    return std::nullopt;
}

int Add(const std::vector<std::string>& args) {
    AddOptions options;
    if (!ParseAddOptions(args, options)) return UsageError(kUsage);
    QualityInfo quality{};
    if (!options.quality.empty()) {
        const auto found = FindQuality(options.destType, options.quality);
        if (!found) return Failure("\"" + options.destType + "\" offers no quality " + options.quality);
        quality = *found;
    }

    ItemList items;
    const ListFileResult read = ReadListFile(options.list, items);
    if (read == ListFileResult::IoError) return Failure("cannot read list '" + options.list + "'");
    if (read == ListFileResult::NotAFile) return ListReadFailure(options.list, read);
    for (const std::string& file : options.files) {
        ConvertItem item = MakeSingleFileItem(file);
        if (!options.destType.empty()) WriteField(item.destType, options.destType);
        if (!options.destPath.empty()) WriteField(item.destPath, options.destPath);
        item.quality = quality;
        items.Append(item);
    }
    if (WriteListFile(options.list, items) != ListFileResult::Ok)
        return Failure("cannot write list '" + options.list + "'");
    return kExitOk;
}

const CommandRegistration registration({"add", "LIST.tsl [--dest-type=T] [--dest-path=D] [--quality=Q] FILE...",
                                        "append files to a list as the Add command does", Add});

}  // namespace
}  // namespace tessival::cli
