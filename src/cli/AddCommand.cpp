// tessival-cli add LIST.tsl FILE...: appends files to a list (creating it) as "From File" does;
// with --cd[=DRIVE], what "From CDROM" finds on every drive, or on DRIVE (a device node or a disc
// image).
// --capture=DEVICE[:LINE] appends a capture item as "From Capturer" does.
#include <cerrno>
#include <cstring>
#include <optional>

#include "cli/CliCommand.h"
#include "engine/CaptureDevices.h"
#include "engine/QualityListing.h"
#include "engine/sources/SourceAdding.h"
#include "joblist/DestNaming.h"
#include "joblist/DiscItems.h"
#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/devices/CdDisc.h"
#include "platform/io/RegularFile.h"
#include "platform/io/ReplacedFileLock.h"
#include "platform/shell/ConsoleShell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival::cli {
namespace {

constexpr const char* kUsage =
    "usage: tessival-cli add LIST.tsl [--dest-type=TYPE] [--dest-path=DIR] [--quality=CH,KBPS,BIT,FREQ] "
    "[--cd[=DRIVE]] [--capture=DEVICE[:LINE]] [FILE...]";

struct AddOptions {
    std::string list;
    std::string destType;
    std::string destPath;
    std::string quality;  // as `qualities TYPE` shows it, comma-separated
    std::string capture;  // a device index or name, and an input line after a colon
    std::vector<std::string> files;
    bool cd = false;
    std::string drive;  // empty: every drive
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
            TakeOption(arg, "--quality=", options.quality) || TakeOption(arg, "--cd=", options.drive) ||
            TakeOption(arg, "--capture=", options.capture))
            continue;
        if (arg == "--cd") {
            options.cd = true;
            continue;
        }
        if (arg.rfind("--", 0) == 0) return false;
        if (options.list.empty())
            options.list = arg;
        else
            options.files.push_back(arg);
    }
    options.cd = options.cd || !options.drive.empty();
    return !options.list.empty() && (!options.files.empty() || options.cd || !options.capture.empty());
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
    const auto devices = ListCaptureDevices(toolkit);
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

// The first quality of the dest type's encoder that shows as the given four numbers.
std::optional<QualityInfo> FindQuality(const std::string& destType, const std::string& shown) {
    ConsoleShell shell;
    for (const QualityInfo& quality : ListEncoderQualities(shell, QualityEncoderName(shell, destType))) {
        const auto cells = QualityCells(quality);
        if (cells[0] + "," + cells[1] + "," + cells[2] + "," + cells[3] == shown) return quality;
    }
    return std::nullopt;
}

// The files as "From File" adds them; a disc image adds its audio tracks.
bool AddFiles(const std::vector<std::string>& files, std::vector<ConvertItem>& added, std::string& problem) {
    for (const std::string& file : files) {
        if (!IsSpecialFile(file)) continue;
        problem = LoadStringWith(IDS_NOT_REGULAR_FILE, file);
        return false;
    }
    std::vector<ConvertItem> chosen;
    for (const std::string& file : files) chosen.push_back(MakeSingleFileItem(file));
    std::vector<DiscProblem> problems;
    for (const ConvertItem& item : ExpandChosenSources(chosen, problems)) added.push_back(item);
    if (!problems.empty()) problem = DiscProblemText(problems.front());
    return problems.empty();
}

// What "From CDROM" adds, from every drive or from the one given; finding nothing is a failure
// that says why.
bool AddFromDrives(const std::string& drive, std::vector<ConvertItem>& added, std::string& problem) {
    const auto listed = ListedCdDrives({drive});
    const ConsoleShell shell(drive.empty() ? SystemCdDrives() : *listed);
    const std::vector<ConvertItem> found = ScanCdRomDrives(shell);
    added.insert(added.end(), found.begin(), found.end());
    if (!found.empty()) return true;
    if (drive.empty()) {
        problem = "no drive holds a disc with audio tracks, Video CD or DVD files";
        return false;
    }
    DiscProblem reason;
    CdDisc::Open(drive, reason);
    problem = reason ? DiscProblemText(reason) : drive + ": the disc holds no audio tracks, Video CD or DVD files";
    return false;
}

// Texts that do not fit their fields are refused, not cut: a cut path can name another file.
std::string RefusedOptionsText(const AddOptions& options) {
    std::string refused;
    const auto refuse = [&refused](const std::string& text) { refused += (refused.empty() ? "" : "\n") + text; };
    if (options.destType.size() >= sizeof(ConvertItem::destType))
        refuse("the dest type is longer than " + std::to_string(sizeof(ConvertItem::destType) - 1) + " bytes");
    if (options.destPath.size() >= sizeof(ConvertItem::destPath))
        refuse("the dest path is longer than " + std::to_string(sizeof(ConvertItem::destPath) - 1) + " bytes");
    for (const std::string& file : options.files) {
        if (const std::string text = FileTooLongText(file); !text.empty()) refuse(text);
    }
    if (!refused.empty()) refused += "\nnothing was added to '" + options.list + "'";
    return refused;
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

    if (const std::string refused = RefusedOptionsText(options); !refused.empty()) return Failure(refused);

    std::vector<ConvertItem> added;
    std::string problem;
    if (!AddFiles(options.files, added, problem) || (options.cd && !AddFromDrives(options.drive, added, problem)))
        return Failure(problem);
    if (!options.capture.empty()) {
        std::string name;
        int device = -1, line = -1;
        if (!ResolveCapture(options.capture, name, device, line))
            return Failure("no capture device or input line \"" + options.capture + "\" (see `devices`)");
        added.push_back(MakeCaptureItem(name, device, line));
    }

    // Other adds to the same list wait from here until this one has written it.
    ReplacedFileLock listLock;
    if (const int error = listLock.Acquire(options.list); error == EINVAL || error == EISDIR)
        return ListReadFailure(options.list, ListFileResult::NotAFile);
    else if (error != 0)
        return Failure("cannot lock list '" + options.list + "': " + std::strerror(error));
    ItemList items;
    std::size_t trailing = 0;
    const ListFileResult read = ReadListFile(options.list, items, &trailing);
    if (read == ListFileResult::IoError) return Failure("cannot read list '" + options.list + "'");
    if (read == ListFileResult::NotAFile) return ListReadFailure(options.list, read);
    // Records appended after a partial one would be read out of step; saving only the whole ones
    // would lose those bytes without a word.
    if (trailing > 0)
        return Failure("list '" + options.list + "' ends with " + std::to_string(trailing) +
                       " bytes that are not a whole item; nothing was added (truncate it to " +
                       std::to_string(items.Count() * kConvertItemSize) + " bytes to drop them)");
    for (ConvertItem& item : added) {
        if (!options.destType.empty()) {
            WriteField(item.destType, options.destType);
            WriteField(item.destName, RenamedForDestType(FieldView(item.destName), options.destType));
        }
        if (!options.destPath.empty()) WriteField(item.destPath, options.destPath);
        item.quality = quality;
        items.Append(item);
    }
    if (WriteListFile(options.list, items) != ListFileResult::Ok)
        return Failure("cannot write list '" + options.list + "'");
    return kExitOk;
}

const CommandRegistration registration({"add",
                                        "LIST.tsl [--dest-type=T] [--dest-path=D] [--quality=Q] [--cd[=DRIVE]] "
                                        "[--capture=DEVICE[:LINE]] [FILE...]",
                                        "append files, disc image tracks, what the CD drives hold or a capture device "
                                        "to a list", Add});

}  // namespace
}  // namespace tessival::cli
