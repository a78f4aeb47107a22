// tessival-cli add LIST.tsl FILE...: appends files to a list (creating it) as "From File" does;
// --capture=DEVICE[:LINE] appends a capture item as "From Capturer" does.
#include <cctype>
#include <cstring>
#include <optional>

#include "cli/CliCommand.h"
#include "engine/CaptureDevices.h"
#include "engine/QualityListing.h"
#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/shell/ConsoleShell.h"

namespace tessival::cli {
namespace {

constexpr const char* kUsage =
    "usage: tessival-cli add LIST.tsl [--dest-type=TYPE] [--dest-path=DIR] [--quality=CH,KBPS,BIT,FREQ] "
    "(FILE... | --capture=DEVICE[:LINE])";

struct AddOptions {
    std::string list;
    std::string destType;
    std::string destPath;
    std::string quality;  // as `qualities TYPE` shows it, comma-separated
    std::string capture;  // a device index or name, and an input line after a colon
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
            TakeOption(arg, "--quality=", options.quality) || TakeOption(arg, "--capture=", options.capture))
            continue;
        if (arg.rfind("--", 0) == 0) return false;
        if (options.list.empty())
            options.list = arg;
        else
            options.files.push_back(arg);
    }
    return !options.list.empty() && (options.files.empty() != options.capture.empty());
}

bool IsNumber(const std::string& text) {
    return !text.empty() && text.size() < 9 && text.find_first_not_of("0123456789") == std::string::npos;
}

// DEVICE[:LINE] against the devices there are now: a device's whole name, or an index, each
// with an optional line index after the last colon. Without a line the device's current line
// stays. False when no such device or line exists.
bool ResolveCapture(const std::string& spec, std::string& name, int& device, int& line) {
    ConsoleShell shell;
    GraphToolkit toolkit(shell);
    toolkit.OpenGraph();
    const auto devices = ListCaptureDevices(toolkit);
    toolkit.CloseGraph();
    auto find = [&](const std::string& what) {
        for (std::size_t i = 0; i < devices.size(); ++i)
            if (devices[i].name == what || (IsNumber(what) && std::stoul(what) == i)) return static_cast<int>(i);
        return -1;
    };
    line = -1;
    device = find(spec);
    const auto colon = spec.rfind(':');
    if (device < 0 && colon != std::string::npos && IsNumber(spec.substr(colon + 1))) {
        device = find(spec.substr(0, colon));
        line = std::stoi(spec.substr(colon + 1));
        if (device >= 0 && line >= static_cast<int>(devices[static_cast<std::size_t>(device)].lines.size())) return false;
    }
    if (device < 0) return false;
    name = devices[static_cast<std::size_t>(device)].name;
    return true;
}

// The properties dialog's rule: the name up to its first dot after the first character, then
// the type's extension.
std::string NamedForType(std::string name, const std::string& destType) {
    const auto dot = name.find('.', 1);
    if (dot != std::string::npos) name.resize(dot);
    std::string extension = destType.substr(0, 3);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name + "." + extension;
}

std::vector<ConvertItem> NewItems(const AddOptions& options) {
    std::vector<ConvertItem> items;
    for (const std::string& file : options.files) items.push_back(MakeSingleFileItem(file));
    if (!options.capture.empty()) {
        std::string name;
        int device = -1, line = -1;
        if (!ResolveCapture(options.capture, name, device, line)) return {};
        ConvertItem item = MakeCaptureItem(name, device, line);
        if (!options.destType.empty()) WriteField(item.destName, NamedForType(name, options.destType));
        items.push_back(item);
    }
    return items;
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
    std::vector<ConvertItem> added = NewItems(options);
    if (added.empty()) return Failure("no capture device or input line \"" + options.capture + "\" (see `devices`)");
    for (ConvertItem& item : added) {
        if (!options.destType.empty()) WriteField(item.destType, options.destType);
        if (!options.destPath.empty()) WriteField(item.destPath, options.destPath);
        item.quality = quality;
        items.Append(item);
    }
    if (WriteListFile(options.list, items) != ListFileResult::Ok)
        return Failure("cannot write list '" + options.list + "'");
    return kExitOk;
}

const CommandRegistration registration({"add",
                                        "LIST.tsl [--dest-type=T] [--dest-path=D] [--quality=Q] "
                                        "(FILE... | --capture=DEVICE[:LINE])",
                                        "append files or a capture device to a list as the Add command does", Add});

}  // namespace
}  // namespace tessival::cli
