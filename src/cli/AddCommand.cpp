// tessival-cli add LIST.tsl FILE...: appends files to a list (creating it) as "From File" does, and
// the media files below a folder as a drop on the window does;
// with --cd[=DRIVE], what "From CDROM" finds on every drive, or on DRIVE (a device node or a disc
// image).
// --capture=DEVICE[:LINE] appends a capture item as "From Capturer" does.
// --name=PATTERN names each new item's dest folders and file from its tags and its place in the
// folder it was found under; new items that would write one file are numbered, or refused with
// --on-clash=fail. With --lookup a CD's tracks are named from MusicBrainz where CD-Text says
// nothing.
#include <cerrno>
#include <cstring>
#include <optional>

#include "cli/AddOptions.h"
#include "cli/CliCommand.h"
#include "engine/CaptureDevices.h"
#include "engine/QualityListing.h"
#include "engine/sources/FileNameList.h"
#include "engine/sources/NamedSources.h"
#include "engine/sources/SourceAdding.h"
#include "engine/sources/SourceNaming.h"
#include "joblist/DefaultQualities.h"
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
    "[--files-from=FILE|- [--null]] [--name=PATTERN [--name-charset=portable|posix] [--on-clash=number|fail]] "
    "[--cd[=DRIVE] [--lookup [--musicbrainz-url=URL] [--gnudb-url=URL]]] [--capture=DEVICE[:LINE]] "
    "[FILE|FOLDER...]";

bool IsNumber(const std::string& text) {
    return !text.empty() && text.size() < 9 && text.find_first_not_of("0123456789") == std::string::npos;
}

// DEVICE[:LINE] against the devices there are now: a device's whole name, or an index, each
// with an optional line index after the last colon. Without a line the device's current line
// stays. False when no such device or line exists.
bool ResolveCapture(const std::string& wanted, std::string& name, int& device, int& line) {
    ConsoleShell shell;
    GraphToolkit toolkit(shell);
    const auto devices = ListCaptureDevices(toolkit);
    auto find = [&](const std::string& what) {
        for (std::size_t i = 0; i < devices.size(); ++i)
            if (devices[i].name == what || (IsNumber(what) && std::stoul(what) == i)) return static_cast<int>(i);
        return -1;
    };
    line = -1;
    device = find(wanted);
    const auto colon = wanted.rfind(':');
    if (device < 0 && colon != std::string::npos && IsNumber(wanted.substr(colon + 1))) {
        device = find(wanted.substr(0, colon));
        line = std::stoi(wanted.substr(colon + 1));
        if (device >= 0 && line >= static_cast<int>(devices[static_cast<std::size_t>(device)].lines.size())) return false;
    }
    if (device < 0) return false;
    name = devices[static_cast<std::size_t>(device)].name;
    return true;
}

// The first quality of the dest type's encoder that shows as the given four numbers.
std::optional<QualityInfo> FindQuality(const std::string& destType, const std::string& shown) {
    ConsoleShell shell;
    for (const QualityInfo& quality : ListEncoderQualities(shell, QualityEncoderName(shell, destType)))
        if (QualityArgument(quality) == shown) return quality;
    return std::nullopt;
}

// The names the command line gives and those of --files-from, in that order.
bool NamedPaths(const AddOptions& options, std::vector<std::string>& named, std::string& problem) {
    named = options.files;
    if (options.filesFrom.empty()) return true;
    if (ReadFileNames(options.filesFrom, options.nullSeparated ? '\0' : '\n', named)) return true;
    problem = "cannot read the names in '" + options.filesFrom + "'";
    return false;
}

// The files as "From File" adds them, a folder's media files as a drop adds them; a disc image
// adds its audio tracks. Every path is checked before anything is added.
bool AddFiles(const AddOptions& options, std::vector<ConvertItem>& added, std::vector<std::string>& foundUnder,
              std::string& problem) {
    std::vector<std::string> named;
    std::vector<FoundSource> found;
    if (!NamedPaths(options, named, problem) || !FindNamedSources(named, AbsolutePath(options.list), found, problem))
        return false;
    for (const FoundSource& source : found) {
        if (const std::string text = FileTooLongText(source.path); !text.empty())
            problem += (problem.empty() ? "" : "\n") + text;
    }
    // Texts that do not fit their fields are refused, not cut: a cut path can name another file.
    if (!problem.empty()) {
        problem += "\nnothing was added to '" + options.list + "'";
        return false;
    }
    if (found.empty() && !named.empty()) {
        problem = "no media files below the folders given; nothing was added to '" + options.list + "'";
        return false;
    }
    // One source at a time, so that each item knows the folder it was found under.
    std::vector<DiscProblem> problems;
    for (const FoundSource& source : found) {
        for (const ConvertItem& item : ExpandChosenSources({MakeSingleFileItem(source.path)}, problems)) {
            added.push_back(item);
            foundUnder.push_back(source.folder);
        }
    }
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

// Options that do not fit their fields are refused, not cut.
std::string RefusedOptionsText(const AddOptions& options) {
    std::string refused;
    const auto refuse = [&refused](const std::string& text) { refused += (refused.empty() ? "" : "\n") + text; };
    if (options.destType.size() >= sizeof(ConvertItem::destType))
        refuse("the dest type is longer than " + std::to_string(sizeof(ConvertItem::destType) - 1) + " bytes");
    if (options.destPath.size() >= sizeof(ConvertItem::destPath))
        refuse("the dest path is longer than " + std::to_string(sizeof(ConvertItem::destPath) - 1) + " bytes");
    if (!refused.empty()) refused += "\nnothing was added to '" + options.list + "'";
    return refused;
}

int Add(const std::vector<std::string>& args) {
    AddOptions options;
    if (!ParseAddOptions(args, options)) return UsageError(kUsage);
    options.destPath = AbsolutePath(options.destPath);
    // Without --quality, a dest type brings its default, so that the items can convert at once.
    if (options.quality.empty() && !options.destType.empty()) {
        const auto preset = DefaultQualityText(options.destType);
        if (!preset)
            return Failure("\"" + options.destType + "\" has no default quality; choose one with --quality (see "
                           "`tessival-cli qualities '" + options.destType + "'`)");
        options.quality = *preset;
    }
    QualityInfo quality{};
    if (!options.quality.empty()) {
        const auto found = FindQuality(options.destType, options.quality);
        if (!found) return Failure("\"" + options.destType + "\" offers no quality " + options.quality);
        quality = *found;
    }

    if (const std::string refused = RefusedOptionsText(options); !refused.empty()) return Failure(refused);

    std::optional<NamingChoice> naming;
    if (!options.name.empty()) {
        std::string problem;
        auto pattern = NamePattern::Parse(options.name, problem);
        if (!pattern) return UsageError(problem);
        RipSettings::Set(options.lookUp);
        naming = NamingChoice{std::move(*pattern),
                              options.nameCharset == "portable" ? NameCharset::Portable : NameCharset::Posix,
                              options.destPath, options.onClash != "fail"};
    }

    std::vector<ConvertItem> added;
    std::vector<std::string> foundUnder;
    std::string problem;
    if (!AddFiles(options, added, foundUnder, problem) || (options.cd && !AddFromDrives(options.drive, added, problem)))
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
    if (naming && !NameNewItems(items, items.Count() - added.size(), foundUnder, *naming, problem))
        return Failure(problem + "; nothing was added to '" + options.list + "'");
    if (WriteListFile(options.list, items) != ListFileResult::Ok)
        return Failure("cannot write list '" + options.list + "'");
    return kExitOk;
}

const CommandRegistration registration({"add",
                                        "LIST.tsl [--dest-type=T] [--dest-path=D] [--quality=Q] "
                                        "[--files-from=F [--null]] [--name=PATTERN] [--name-charset=portable] "
                                        "[--on-clash=number|fail] [--cd[=DRIVE] [--lookup]] [--capture=DEVICE[:LINE]] "
                                        "[FILE|FOLDER...]",
                                        "append files, the media files below folders, disc image tracks, what the CD "
                                        "drives hold or a capture device to a list", Add});

}  // namespace
}  // namespace tessival::cli
