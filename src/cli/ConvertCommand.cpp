// tessival-cli convert LIST.tsl: runs the list with the window's engine and texts, one line per
// Status change. Ctrl-C, a closed terminal (SIGHUP) and SIGTERM stop like the Stop button, and the
// process then ends with 128 + that signal; --stop-after=SECONDS stops the same way after that long
// (how a script records from a capture device for a set time). --skip-existing leaves items whose
// destination file is not older than their source, so a library run can be repeated.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "cli/BatchOptions.h"
#include "cli/CliCommand.h"
#include "cli/ConsoleRunView.h"
#include "cli/JsonProgress.h"
#include "cli/LoudnessOptions.h"
#include "cli/RipOptions.h"
#include "engine/ParallelRun.h"
#include "engine/loudness/AlbumGainBook.h"
#include "joblist/ItemChecks.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/io/AtomicFile.h"
#include "platform/media/ffmpeg/SampleConverter.h"
#include "platform/media/filters/sinks/MuxerDest.h"
#include "platform/shell/ConsoleShell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival::cli {
namespace {

constexpr const char* kUsage =
    "usage: tessival-cli convert LIST.tsl [--on-bad-quality=default|skip] [--stop-after=SECONDS] [--jobs=N] "
    "[--shard=I/N] [--progress=json|none] [--skip-existing] [--dither=none] [--id3=2.3] "
    "[--read-offset=SAMPLES] [--verify] [--lookup] [--accuraterip-url=URL] [--musicbrainz-url=URL] "
    "[--gnudb-url=URL] [--replaygain=track|album] [--normalize=LUFS] [--true-peak=DBTP]";

// Whole or decimal seconds above zero; -1 when the text is none.
double ParseSeconds(const std::string& text) {
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && seconds > 0 && seconds < 1e7 ? seconds : -1;
}

bool ParseConvertArgs(const std::vector<std::string>& args, std::string& list, InvalidQualityChoice& badQuality,
                      BatchOptions& batch, RipSettings& rip, LoudnessSettings& loudness, double& stopAfter,
                      bool& skipExisting) {
    badQuality = InvalidQualityChoice::SkipItem;
    for (const std::string& arg : args) {
        if (arg == "--skip-existing") {
            skipExisting = true;
        } else if (arg.rfind("--stop-after=", 0) == 0) {
            stopAfter = ParseSeconds(arg.substr(13));
            if (stopAfter < 0) return false;
        } else if (const OptionParse parse = ParseBatchOption(arg, batch); parse != OptionParse::NotMine) {
            if (parse == OptionParse::Bad) return false;
        } else if (const OptionParse ripParse = ParseRipOption(arg, rip); ripParse != OptionParse::NotMine) {
            if (ripParse == OptionParse::Bad) return false;
        } else if (const OptionParse gain = ParseLoudnessOption(arg, loudness); gain != OptionParse::NotMine) {
            if (gain == OptionParse::Bad) return false;
        } else if (arg == "--on-bad-quality=default")
            badQuality = InvalidQualityChoice::UseEncoderDefault;
        else if (arg == "--on-bad-quality=skip")
            badQuality = InvalidQualityChoice::SkipItem;
        else if (arg == "--dither=none")
            media::SampleConverter::SetDither(false);  // rounding only: for comparisons and purists
        else if (arg == "--dither=tpdf")
            media::SampleConverter::SetDither(true);
        else if (arg == "--id3=2.3" || arg == "--id3=2.4")
            media::MuxerDest::SetId3Version(arg.back() - '0');  // 2.3 for devices that read no other
        else if (arg.rfind("--", 0) == 0 || !list.empty())
            return false;
        else
            list = arg;
    }
    return !list.empty();
}

// The same number in every process for the same folder: FNV-1a.
std::uint64_t FolderHash(const std::string& folder) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const unsigned char c : folder) hash = (hash ^ c) * 1099511628211ULL;
    return hash;
}

// A shard's items, read a batch of records at a time, so that one part of a long list neither
// waits for nor holds the rest; listPositions gets each item's place in the list. Items are dealt
// by position, or with byFolder by dest path, so that an album (whose tracks share their dest path)
// is measured whole by one process.
ListFileResult ReadShard(const std::string& path, const BatchOptions& batch, bool byFolder, ItemList& items,
                         std::vector<int>& listPositions, int& position) {
    const auto count = static_cast<std::uint64_t>(batch.shardCount);
    // position ends as the number of records in the list.
    return VisitCommandList(path, [&](std::span<const ConvertItem> records) {
        for (const ConvertItem& record : records) {
            const std::uint64_t deal = byFolder ? FolderHash(ReadField(record.destPath)) : static_cast<std::uint64_t>(position);
            if (deal % count == static_cast<std::uint64_t>(batch.shardIndex)) {
                items.Append(record);
                listPositions.push_back(position);
            }
            ++position;
        }
    });
}

// A library's items share a few dest folders: each is looked up in the mount table once.
class FolderDriveTypes : public DriveTypes {
public:
    bool IsCdRom(const std::string& path) const override {
        const auto [found, inserted] = known_.try_emplace(path, false);
        if (inserted) found->second = SystemDriveTypes().IsCdRom(path);
        return found->second;
    }

private:
    mutable std::unordered_map<std::string, bool> known_;
};

// "a, b and c".
std::string JoinedParts(const std::vector<int>& ids) {
    std::string text;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (i > 0) text += i + 1 == ids.size() ? LoadString(IDS_AND) : ", ";
        text += LoadString(ids[i]);
    }
    return text;
}

// Lists the incomplete items the way the window's start command refuses them, each with what it lacks.
bool ReportIncompleteItems(const ItemList& items, const std::vector<int>& listPositions, bool listEmpty) {
    if (listEmpty) {
        std::fprintf(stderr, "tessival-cli: the list is empty\n");
        return true;
    }
    bool any = false;
    const FolderDriveTypes drives;
    for (std::size_t i = 0; i < items.Count(); ++i) {
        const std::vector<int> missing = MissingItemParts(*items.At(i), drives);
        if (missing.empty()) continue;
        const std::string number = std::to_string(ItemNumber(listPositions, static_cast<int>(i)));
        const std::string text =
            LoadString(IDS_CLI_ITEM_INCOMPLETE, {number, ReadField(items.At(i)->sourceName), JoinedParts(missing)});
        std::fprintf(stderr, "tessival-cli: %s\n", text.c_str());
        any = true;
    }
    return any;
}

using Clock = std::chrono::steady_clock;

Clock::duration Seconds(double seconds) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

sigset_t RunSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    sigaddset(&signals, SIGUSR1);
    return signals;
}

bool IsStopSignal(int signal) { return signal == SIGINT || signal == SIGTERM || signal == SIGHUP; }

// Ctrl-C stops the run; a second one ends the process at once, whatever the workers are doing.
// Returns the signal that asked for the stop.
int Interrupt(ParallelRun& run, ConsoleRunView& view, int signal, std::optional<Clock::time_point>& interruptedAt,
              int stoppedBy) {
    const Clock::time_point now = Clock::now();
    if (!interruptedAt) {
        interruptedAt = now;
        run.Stop();
        return signal;
    }
    // `timeout` and some shells signal the process and its group at once: a second signal within
    // a second is the same request.
    // A closed terminal sends SIGHUP and then SIGCONT or SIGTERM to the whole group; only a second
    // Ctrl-C is the user insisting.
    if (now - *interruptedAt <= std::chrono::seconds(1) || signal != SIGINT) return stoppedBy;
    view.HideProgress();
    std::fprintf(stderr, "tessival-cli: interrupted again, exiting without waiting for the item\n");
    std::_Exit(128 + signal);
}

// Drives the run from the main thread: a tick every second and the progress display at its own
// pace, Ctrl-C (or the stop time, when above zero) as Stop, until the workers end. Once Stop is
// asked for, ticks and progress end: the running items are only winding down. Returns the signal
// that stopped the run, or 0.
int DriveRun(ParallelRun& run, double stopAfter, ConsoleRunView& view) {
    const sigset_t signals = RunSignals();
    const Clock::time_point start = Clock::now();
    const Clock::time_point stopAt = stopAfter > 0 ? start + Seconds(stopAfter) : Clock::time_point::max();
    const Clock::duration showEvery = Seconds(view.ProgressInterval());
    Clock::time_point nextTick = start + std::chrono::seconds(1);
    Clock::time_point nextShow = start + showEvery;
    bool quiet = false;
    std::optional<Clock::time_point> interruptedAt;
    int stoppedBy = 0;
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now >= stopAt && !run.StopRequested()) run.Stop();
        if (run.StopRequested() && !quiet) {
            quiet = true;
            view.HideProgress();
        }
        if (now >= nextTick) {
            if (!quiet) run.Tick();
            nextTick += std::chrono::seconds(1);
            continue;
        }
        if (showEvery > Clock::duration::zero() && now >= nextShow) {
            if (!quiet)
                view.ShowProgress(run.Progress(), std::chrono::duration<double>(now - start).count(),
                                  [&run](int index) { return run.Converts(index); });
            nextShow = Clock::now() + showEvery;
            continue;
        }
        Clock::time_point wake = nextTick;
        if (showEvery > Clock::duration::zero()) wake = std::min(wake, nextShow);
        if (!run.StopRequested()) wake = std::min(wake, stopAt);
        const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(wake - now).count();
        const timespec timeout{static_cast<time_t>(wait / 1000000000LL), static_cast<long>(wait % 1000000000LL)};
        const int signal = sigtimedwait(&signals, nullptr, &timeout);
        if (signal == SIGUSR1) break;
        if (IsStopSignal(signal)) stoppedBy = Interrupt(run, view, signal, interruptedAt, stoppedBy);
    }
    run.Wait();
    return stoppedBy;
}

int Convert(const std::vector<std::string>& args) {
    std::string listPath;
    InvalidQualityChoice badQuality;
    BatchOptions batch;
    RipSettings rip;
    LoudnessSettings loudness;
    double stopAfter = -1;
    bool skipExisting = false;
    if (!ParseConvertArgs(args, listPath, badQuality, batch, rip, loudness, stopAfter, skipExisting))
        return UsageError(kUsage);
    RipSettings::Set(rip);
    LoudnessSettings::Set(loudness);

    ItemList items;
    std::vector<int> listPositions;
    int listCount = 0;
    const bool albumGain = loudness.replayGain == ReplayGainMode::Album;
    const ListFileResult read = batch.shardCount > 1
                                    ? ReadShard(listPath, batch, albumGain, items, listPositions, listCount)
                                    : ReadCommandList(listPath, items);
    if (read != ListFileResult::Ok) return ListReadFailure(listPath, read);
    if (ReportIncompleteItems(items, listPositions, items.Empty() && listCount == 0)) return kExitFailure;

    // Block the signals before any thread starts, so that only sigtimedwait takes them.
    const sigset_t signals = RunSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // With the terminal or the reading end of a pipe gone, lines fail to print; the items go on.
    ::signal(SIGPIPE, SIG_IGN);

    ConsoleShell shell;
    ConsoleRunView view(items, badQuality, batch.progress, std::move(listPositions));
    ParallelRun run(items, ItemQueue::AllPositions(items.Count()), batch.jobs, shell, view);
    run.Start(skipExisting);
    const int stoppedBy = DriveRun(run, stopAfter, view);
    if (albumGain) AlbumGainBook::Shared().FinishAll();
    for (const std::string& failure : AlbumGainBook::Shared().TakeFailures())
        std::fprintf(stderr, "tessival-cli: %s\n", failure.c_str());
    for (const std::string& path : TakeRecoveredFiles())
        std::printf("%s\n", LoadStringWith(IDS_RECOVERED_OUTPUT, path).c_str());
    // As a shell reports a command that a signal ended, once the stopped items are kept.
    if (stoppedBy != 0) return 128 + stoppedBy;
    return view.FinalMessage() == IDS_CONVERT_COMPLETE ? kExitOk : kExitFailure;
}

const CommandRegistration registration({"convert",
                                        "LIST.tsl [--on-bad-quality=default|skip] [--stop-after=S] [--jobs=N] "
                                        "[--shard=I/N] [--progress=json|none] [--skip-existing] [--dither=none] "
                                        "[--id3=2.3] [--read-offset=S] [--verify] [--lookup] [--accuraterip-url=URL] "
                                        "[--musicbrainz-url=URL] [--gnudb-url=URL] [--replaygain=track|album] "
                                        "[--normalize=LUFS] [--true-peak=DBTP]",
                                        "convert every item of a list, one line per status change", Convert});

}  // namespace
}  // namespace tessival::cli
