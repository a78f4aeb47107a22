// tessival-cli convert LIST.tsl: runs the list with the window's engine and texts, one line per
// Status change. Ctrl-C stops like the Stop button; --stop-after=SECONDS stops the same way after
// that long (how a script records from a capture device for a set time).
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

#include "cli/BatchOptions.h"
#include "cli/CliCommand.h"
#include "cli/ConsoleRunView.h"
#include "engine/ParallelRun.h"
#include "joblist/ItemChecks.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/shell/ConsoleShell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival::cli {
namespace {

constexpr const char* kUsage =
    "usage: tessival-cli convert LIST.tsl [--on-bad-quality=default|skip] [--stop-after=SECONDS] [--jobs=N] "
    "[--shard=I/N] [--progress=json|none]";

// Whole or decimal seconds above zero; -1 when the text is none.
double ParseSeconds(const std::string& text) {
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && seconds > 0 && seconds < 1e7 ? seconds : -1;
}

bool ParseConvertArgs(const std::vector<std::string>& args, std::string& list, InvalidQualityChoice& badQuality,
                      BatchOptions& batch, double& stopAfter) {
    badQuality = InvalidQualityChoice::SkipItem;
    for (const std::string& arg : args) {
        if (arg.rfind("--stop-after=", 0) == 0) {
            stopAfter = ParseSeconds(arg.substr(13));
            if (stopAfter < 0) return false;
        } else if (const OptionParse parse = ParseBatchOption(arg, batch); parse != OptionParse::NotMine) {
            if (parse == OptionParse::Bad) return false;
        } else if (arg == "--on-bad-quality=default")
            badQuality = InvalidQualityChoice::UseEncoderDefault;
        else if (arg == "--on-bad-quality=skip")
            badQuality = InvalidQualityChoice::SkipItem;
        else if (arg.rfind("--", 0) == 0 || !list.empty())
            return false;
        else
            list = arg;
    }
    return !list.empty();
}

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
bool ReportIncompleteItems(const ItemList& items) {
    if (items.Empty()) {
        std::fprintf(stderr, "tessival-cli: the list is empty\n");
        return true;
    }
    bool any = false;
    for (std::size_t i = 0; i < items.Count(); ++i) {
        const std::vector<int> missing = MissingItemParts(*items.At(i));
        if (missing.empty()) continue;
        const std::string text = LoadString(IDS_CLI_ITEM_INCOMPLETE, {std::to_string(i + 1),
                                                                      ReadField(items.At(i)->sourceName),
                                                                      JoinedParts(missing)});
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
    sigaddset(&signals, SIGUSR1);
    return signals;
}

// Ctrl-C stops the run; a second one ends the process at once, whatever the workers are doing.
void Interrupt(ParallelRun& run, ConsoleRunView& view, int signal, std::optional<Clock::time_point>& interruptedAt) {
    const Clock::time_point now = Clock::now();
    if (!interruptedAt) {
        interruptedAt = now;
        run.Stop();
        return;
    }
    // `timeout` and some shells signal the process and its group at once: a second signal within
    // a second is the same request.
    if (now - *interruptedAt <= std::chrono::seconds(1)) return;
    view.HideProgress();
    std::fprintf(stderr, "tessival-cli: interrupted again, exiting without waiting for the item\n");
    std::_Exit(128 + signal);
}

// Drives the run from the main thread: a tick every second and the progress display at its own
// pace, Ctrl-C (or the stop time, when above zero) as Stop, until the workers end. Once Stop is
// asked for, ticks and progress end: the running items are only winding down.
void DriveRun(ParallelRun& run, double stopAfter, ConsoleRunView& view) {
    const sigset_t signals = RunSignals();
    const Clock::time_point start = Clock::now();
    const Clock::time_point stopAt = stopAfter > 0 ? start + Seconds(stopAfter) : Clock::time_point::max();
    const Clock::duration showEvery = Seconds(view.ProgressInterval());
    Clock::time_point nextTick = start + std::chrono::seconds(1);
    Clock::time_point nextShow = start + showEvery;
    bool quiet = false;
    std::optional<Clock::time_point> interruptedAt;
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
        if (signal == SIGINT || signal == SIGTERM) Interrupt(run, view, signal, interruptedAt);
    }
    run.Wait();
}

int Convert(const std::vector<std::string>& args) {
    std::string listPath;
    InvalidQualityChoice badQuality;
    BatchOptions batch;
    double stopAfter = -1;
    if (!ParseConvertArgs(args, listPath, badQuality, batch, stopAfter)) return UsageError(kUsage);

    ItemList items;
    const ListFileResult read = ReadCommandList(listPath, items);
    if (read != ListFileResult::Ok) return ListReadFailure(listPath, read);
    if (ReportIncompleteItems(items)) return kExitFailure;

    // Block the signals before any thread starts, so that only sigtimedwait takes them.
    const sigset_t signals = RunSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    ConsoleShell shell;
    ConsoleRunView view(items, badQuality, batch.progress);
    ParallelRun run(items, ItemQueue::ShardPositions(items.Count(), batch.shardIndex, batch.shardCount), batch.jobs,
                    shell, view);
    run.Start();
    DriveRun(run, stopAfter, view);
    // A stop that the command line asked for is the planned end, not an interruption.
    const bool interrupted = run.StopRequested() && stopAfter < 0;
    return view.FinalMessage() == IDS_CONVERT_COMPLETE && !interrupted ? kExitOk : kExitFailure;
}

const CommandRegistration registration({"convert",
                                        "LIST.tsl [--on-bad-quality=default|skip] [--stop-after=S] [--jobs=N] "
                                        "[--shard=I/N] [--progress=json|none]",
                                        "convert every item of a list, one line per status change", Convert});

}  // namespace
}  // namespace tessival::cli
