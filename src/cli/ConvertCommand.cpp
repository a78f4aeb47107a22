// tessival-cli convert LIST.tsl: runs the list with the window's engine and texts, one line per
// Status change. Ctrl-C stops like the Stop button; --stop-after=SECONDS stops the same way after
// that long (how a script records from a capture device for a set time).
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

#include "cli/BatchOptions.h"
#include "cli/CliCommand.h"
#include "cli/JsonProgress.h"
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
    "[--shard=I/N] [--progress=json]";

// Prints each change of a row as "N: text" (rows counted from 1).
class ConsoleRunView : public RunView {
public:
    ConsoleRunView(ItemList& items, InvalidQualityChoice badQuality, JsonProgress* json)
        : items_(items), badQuality_(badQuality), json_(json) {}

    void SelectRunningRow(int) override {}
    void SetStatusCell(int index, const std::string& text) override { Print(index, text, false); }
    void RefreshRow(int index) override {
        if (const ConvertItem* item = items_.At(index)) Print(index, ReadField(item->status), true);
    }
    void ReportSkippedData(int index, std::int64_t packets) override {
        const std::string text = "skipped " + std::to_string(packets) + (packets == 1 ? " damaged frame" : " damaged frames");
        Note(index, std::to_string(index + 1) + ": " + text, text);
    }
    void ReportStoppedOutput(int index, const std::string& keptAt) override {
        char text[1024];
        std::snprintf(text, sizeof text, LoadString(IDS_STOPPED_OUTPUT_BESIDE).c_str(), keptAt.c_str());
        Note(index, text, text);
    }
    void RunFinished(int messageId) override {
        finalMessage_ = messageId;
        {
            std::lock_guard lock(mutex_);
            std::printf("%s\n", json_ ? json_->FinishedLine(messageId).c_str() : LoadString(messageId).c_str());
            std::fflush(stdout);
        }
        ::kill(::getpid(), SIGUSR1);  // wakes the main thread
    }
    InvalidQualityChoice AskInvalidQuality() override {
        std::lock_guard lock(mutex_);
        std::fprintf(stderr, "tessival-cli: the encoder does not offer the item's quality; %s\n",
                     badQuality_ == InvalidQualityChoice::SkipItem ? "skipping the item" : "using its default quality");
        return badQuality_;
    }
    std::optional<QualityInfo> AskQuality(const ConvertItem&, const std::shared_ptr<media::IBaseFilter>&) override {
        return std::nullopt;
    }
    int FinalMessage() const { return finalMessage_; }

private:
    // A line about an item beside its statuses: as it stands, or as a JSON note.
    void Note(int index, const std::string& line, const std::string& note) {
        std::lock_guard lock(mutex_);
        if (json_)
            std::printf("{\"item\":%d,\"note\":%s}\n", index + 1, JsonString(note).c_str());
        else
            std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }
    void Print(int index, const std::string& text, bool failed) {
        std::lock_guard lock(mutex_);
        if (json_)
            std::printf("%s\n", json_->StatusLine(index, text, failed).c_str());
        else
            std::printf("%d: %s\n", index + 1, text.c_str());
        std::fflush(stdout);
    }

    ItemList& items_;
    InvalidQualityChoice badQuality_;
    JsonProgress* json_;
    std::mutex mutex_;
    std::atomic<int> finalMessage_{0};
};

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

// Lists the incomplete items the way the window's start command refuses them.
bool ReportIncompleteItems(const ItemList& items) {
    if (items.Empty()) {
        std::fprintf(stderr, "tessival-cli: the list is empty\n");
        return true;
    }
    bool any = false;
    for (std::size_t i = 0; i < items.Count(); ++i) {
        if (IsItemComplete(*items.At(i))) continue;
        std::fprintf(stderr, "tessival-cli: item %zu (%s) is incomplete: it needs a dest type, a quality, a dest "
                     "name and a writable dest path\n", i + 1, ReadField(items.At(i)->sourceName).c_str());
        any = true;
    }
    return any;
}

// Drives the run from the main thread: a tick every second, Ctrl-C (or the stop time, when above
// zero) as Stop, until the workers end. A second Ctrl-C ends the process at once, whatever the
// workers are doing.
void DriveRun(ParallelRun& run, double stopAfter) {
    bool stopping = false;
    long long stoppedAtNs = 0;
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    timespec nextTick{};
    clock_gettime(CLOCK_MONOTONIC, &nextTick);
    const long long stopAt = stopAfter > 0 ? nextTick.tv_sec * 1000000000LL + nextTick.tv_nsec +
                                                 static_cast<long long>(stopAfter * 1e9)
                                           : -1;
    nextTick.tv_sec += 1;
    for (;;) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const long long nowNs = now.tv_sec * 1000000000LL + now.tv_nsec;
        if (stopAt >= 0 && nowNs >= stopAt && !run.StopRequested()) run.Stop();
        long long waitNs = (nextTick.tv_sec - now.tv_sec) * 1000000000LL + (nextTick.tv_nsec - now.tv_nsec);
        if (stopAt >= 0 && !run.StopRequested()) waitNs = std::min(waitNs, std::max(stopAt - nowNs, 1LL));
        if (waitNs <= 0) {
            run.Tick();
            nextTick.tv_sec += 1;
            continue;
        }
        const timespec timeout{static_cast<time_t>(waitNs / 1000000000LL), static_cast<long>(waitNs % 1000000000LL)};
        const int signal = sigtimedwait(&signals, nullptr, &timeout);
        if (signal == SIGUSR1) break;
        if (signal != SIGINT && signal != SIGTERM) continue;
        clock_gettime(CLOCK_MONOTONIC, &now);
        const long long signalNs = now.tv_sec * 1000000000LL + now.tv_nsec;
        // `timeout` and some shells signal the process and its group at once: a second signal within
        // a second is the same request.
        if (stopping && signalNs - stoppedAtNs > 1000000000LL) {
            std::fprintf(stderr, "tessival-cli: interrupted again, exiting without waiting for the item\n");
            std::_Exit(128 + signal);
        }
        if (!stopping) {
            stopping = true;
            stoppedAtNs = signalNs;
            run.Stop();
        }
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
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    ConsoleShell shell;
    JsonProgress json(items);
    ConsoleRunView view(items, badQuality, batch.jsonProgress ? &json : nullptr);
    ParallelRun run(items, ItemQueue::ShardPositions(items.Count(), batch.shardIndex, batch.shardCount), batch.jobs,
                    shell, view);
    run.Start();
    DriveRun(run, stopAfter);
    // A stop that the command line asked for is the planned end, not an interruption.
    const bool interrupted = run.StopRequested() && stopAfter < 0;
    return view.FinalMessage() == IDS_CONVERT_COMPLETE && !interrupted ? kExitOk : kExitFailure;
}

const CommandRegistration registration({"convert",
                                        "LIST.tsl [--on-bad-quality=default|skip] [--stop-after=S] [--jobs=N] "
                                        "[--shard=I/N] [--progress=json]",
                                        "convert every item of a list, one line per status change", Convert});

}  // namespace
}  // namespace tessival::cli
