#include "engine/ConversionRun.h"

#include <cstdio>

#include "engine/ConvertEngine.h"
#include "engine/conversion/ConversionOutcome.h"
#include "engine/conversion/UpToDate.h"
#include "engine/loudness/AlbumGainBook.h"
#include "engine/loudness/LoudnessSettings.h"
#include "joblist/DestinationClashes.h"
#include "joblist/TextField.h"
#include "platform/io/AtomicFile.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {

ConversionRun::ConversionRun(ItemList& items, ConvertEngine& engine, RunView& view)
    : ConversionRun(items, engine, view, ownFlags_) {}

ConversionRun::ConversionRun(ItemList& items, ConvertEngine& engine, RunView& view, RunFlags& flags)
    : items_(items), engine_(engine), view_(view), flags_(flags), queue_(ownQueue_), ownsQueue_(true) {}

ConversionRun::ConversionRun(ItemList& items, ConvertEngine& engine, RunView& view, ItemQueue& sharedQueue)
    : items_(items), engine_(engine), view_(view), flags_(ownFlags_), queue_(sharedQueue), ownsQueue_(false) {}

std::shared_ptr<const RunPlan> RunPlan::Of(const ItemList& items, bool skipUpToDate) {
    // Found before anything is written, so the earlier item's file is never replaced by a later
    // one; with several workers, an item that reads what an earlier one writes waits for it.
    auto plan = std::make_shared<RunPlan>();
    plan->clashes = FindDestinationClashes(items);
    plan->writers = FindSourceWriters(items);
    plan->skipUpToDate = skipUpToDate;
    return plan;
}

void RunPlan::PlanAlbums(const ItemList& items, const std::atomic<bool>& stopped) const {
    std::call_once(albumsPlanned_, [&items, &stopped] {
        if (LoudnessSettings::Current().replayGain == ReplayGainMode::Album)
            AlbumGainBook::Shared().Plan(items, stopped);
    });
}

ConversionRun::~ConversionRun() {
    Stop();
    Wait();
}

bool ConversionRun::Start(std::shared_ptr<const RunPlan> plan) {
    controller_.Check();
    if (flags_.converting.exchange(true)) return false;
    if (worker_.joinable()) worker_.join();  // the previous run's thread has ended already
    flags_.stopRequested = false;
    {
        std::lock_guard lock(tickMutex_);
        finishedItems_ = 0;
    }
    // A run of its own starts the whole run; the workers of a parallel run share one start.
    if (ownsQueue_) {
        ownQueue_.Reset(ItemQueue::AllPositions(items_.Count()));
        ForgetFolderScans();  // temporaries left by writers killed since the last run
    }
    plan_ = plan ? std::move(plan) : RunPlan::Of(items_);
    engine_.ResetHalt();
    worker_ = std::thread(&ConversionRun::ThreadProc, this);
    return true;
}

void ConversionRun::Stop() {
    controller_.Check();
    if (!flags_.converting) return;
    flags_.stopRequested = true;
    queue_.Cancel();
    engine_.HaltGraph();
}

void ConversionRun::Tick() {
    controller_.Check();
    std::lock_guard lock(tickMutex_);
    const int index = flags_.currentIndex;
    if (index < 0) return;
    char text[32];
    std::snprintf(text, sizeof text, "Doing...%d", flags_.elapsedSeconds.fetch_add(1));
    view_.SetStatusCell(index, text);
}

void ConversionRun::AddProgress(BatchProgress& progress) {
    std::lock_guard lock(tickMutex_);
    progress.finished += finishedItems_;
    const int index = flags_.currentIndex;
    if (index < 0) return;
    // The worker detaches the graph before it clears the index, so the graph read here is this item's.
    progress.running.push_back({index, 0, engine_.Progress().ReadPosition()});
}

void ConversionRun::Wait() {
    controller_.Check();
    if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
}

void ConversionRun::ThreadProc() {
    flags_.converting = true;
    bool allOk = true;
    engine_.SetQualityPrompt(&view_);
    const std::vector<int>& clashes = plan_->clashes;
    // An item that reads what an earlier one writes converts what the earlier item wrote, as one
    // worker would.
    const std::vector<int>& writers = plan_->writers;
    commitFailed_ = false;
    plan_->PlanAlbums(items_, flags_.stopRequested);
    for (int i = 0; !flags_.stopRequested && (i = queue_.Next()) >= 0;) {
        const auto at = static_cast<std::size_t>(i);
        if (clashes[at] >= 0) {
            allOk = FailClashingItem(i, clashes[at]) && allOk;
        } else if (writers[at] >= 0 && !queue_.WaitUntilEnded(writers[at])) {
            break;
        } else if (plan_->skipUpToDate && IsUpToDate(*items_.At(i))) {
            allOk = SkipUpToDateItem(i) && allOk;
        } else {
            allOk = ConvertItemAt(i) && allOk;
            continue;
        }
        queue_.MarkEnded(i);
    }
    // Stopped or not, what was converted gets its name before the run says it is over.
    WaitForCommits();
    allOk = allOk && !commitFailed_;
    engine_.SetQualityPrompt(nullptr);
    flags_.converting = false;
    view_.RunFinished(allOk ? IDS_CONVERT_COMPLETE : IDS_CONVERT_HAD_ERRORS);
}

void ConversionRun::WaitForCommits() {
    engine_.CommitWaitingOutputs();
    std::unique_lock lock(commitMutex_);
    commitsSettled_.wait(lock, [this] { return commitsPending_ == 0; });
}

bool ConversionRun::ConvertItemAt(int index) {
    ConvertItem* item = items_.At(index);
    view_.SelectRunningRow(index);
    {
        // A tick sees the new row only once it shows "Init...".
        std::lock_guard lock(tickMutex_);
        view_.SetStatusCell(index, LoadString(IDS_INIT));
        flags_.elapsedSeconds = 0;
        flags_.currentIndex = index;
    }

    working_ = *item;
    ConversionOutcome outcome = engine_.ConvertCurrentItem(working_, ConvertEngine::CommitTiming::Deferred);
    if (outcome.commit && outcome.converted) {
        FinishAfterCommit(index, std::move(outcome));
        return true;
    }
    if (outcome.commit) outcome.SettleCommit(outcome.commit->Wait());
    HandBack(index, outcome, true);
    queue_.MarkEnded(index);
    return outcome.converted;
}

void ConversionRun::FinishAfterCommit(int index, ConversionOutcome outcome) {
    StoreAndLeave(index, outcome);
    // Shown before the commit can end, so that its final text comes after.
    view_.ShowCommitPending(index);
    {
        std::lock_guard lock(commitMutex_);
        ++commitsPending_;
    }
    const std::shared_ptr<PendingCommit> commit = std::move(outcome.commit);
    commit->WhenDone([this, index, outcome = std::move(outcome), record = working_,
                      seconds = flags_.elapsedSeconds.load()](int error) mutable {
        outcome.SettleCommit(error);
        if (!outcome.converted) {
            commitFailed_ = true;
            WriteField(record.status, StatusText(outcome));
            view_.StoreRecord(*items_.At(index), record);
        }
        ShowEnd(index, outcome, seconds);
        // A later item that reads this one's output may start now.
        queue_.MarkEnded(index);
        std::lock_guard lock(commitMutex_);
        if (--commitsPending_ == 0) commitsSettled_.notify_all();
    });
}

bool ConversionRun::FailClashingItem(int index, int earlier) {
    view_.SelectRunningRow(index);
    working_ = *items_.At(index);
    ConversionOutcome outcome;
    outcome.detail = LoadString(IDS_DEST_CLASH, {std::to_string(earlier + 1), DestinationFileName(working_)});
    HandBack(index, outcome, false);
    return false;
}

bool ConversionRun::SkipUpToDateItem(int index) {
    view_.SelectRunningRow(index);
    working_ = *items_.At(index);
    const std::string skipped = LoadString(IDS_SKIPPED_UP_TO_DATE);
    // Its output is still a track of its album, whose gain changes when another track's does.
    if (LoudnessSettings::Current().replayGain == ReplayGainMode::Album)
        AlbumGainBook::Shared().ItemKept(DestinationFileName(working_), flags_.stopRequested);
    WriteField(working_.status, skipped);
    view_.StoreRecord(*items_.At(index), working_);
    {
        std::lock_guard lock(tickMutex_);
        ++finishedItems_;
    }
    view_.SetStatusCell(index, skipped);
    return true;
}

void ConversionRun::StoreAndLeave(int index, const ConversionOutcome& outcome) {
    if (outcome.HasReason()) WriteField(working_.status, StatusText(outcome));
    view_.StoreRecord(*items_.At(index), working_);
    std::lock_guard lock(tickMutex_);
    flags_.currentIndex = -1;
    ++finishedItems_;
}

void ConversionRun::HandBack(int index, const ConversionOutcome& outcome, bool converting) {
    StoreAndLeave(index, outcome);
    if (converting && flags_.stopRequested) {
        view_.SetStatusCell(index, LoadString(IDS_USER_ABORT));
        if (!outcome.keptBeside.empty())
            view_.ReportStoppedOutput(index, outcome.keptBeside);
        else
            MarkUnfinished(working_);  // the partial output has the real name: the next run redoes it
        return;
    }
    ShowEnd(index, outcome, flags_.elapsedSeconds);
}

void ConversionRun::ShowEnd(int index, const ConversionOutcome& outcome, int seconds) {
    FinishRow(index, outcome.converted, seconds);
    if (outcome.skippedPackets > 0) view_.ReportSkippedData(index, outcome.skippedPackets);
    if (outcome.converted && !outcome.note.empty()) view_.ReportNote(index, outcome.note);
    if (outcome.converted && outcome.loudness) view_.ReportLoudness(index, *outcome.loudness);
}

void ConversionRun::FinishRow(int index, bool ok, int seconds) {
    if (!ok) {
        view_.RefreshRow(index);
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%s(%ds)", LoadString(IDS_COMPLETE).c_str(), seconds);
    view_.SetStatusCell(index, text);
}

}  // namespace tessival
