#include "engine/ConversionRun.h"

#include <cstdio>

#include "engine/ConvertEngine.h"
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

ConversionRun::~ConversionRun() {
    Stop();
    Wait();
}

bool ConversionRun::Start() {
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
    engine_.ResetHalt();
    worker_ = std::thread(&ConversionRun::ThreadProc, this);
    return true;
}

void ConversionRun::Stop() {
    if (!flags_.converting) return;
    flags_.stopRequested = true;
    queue_.Cancel();
    engine_.HaltGraph();
}

void ConversionRun::Tick() {
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
    progress.running.push_back({index, 0, engine_.progress.ReadPosition()});
}

void ConversionRun::Wait() {
    if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
}

void ConversionRun::ThreadProc() {
    flags_.converting = true;
    bool allOk = true;
    engine_.SetQualityPrompt(&view_);
    // Found before anything is written, so the earlier item's file is never replaced by a later one.
    const std::vector<int> clashes = FindDestinationClashes(items_);
    // With several workers, an item that reads what an earlier one writes waits for it, so it
    // converts what the earlier item wrote, as one worker would.
    const std::vector<int> writers = FindSourceWriters(items_);
    for (int i = 0; !flags_.stopRequested && (i = queue_.Next()) >= 0;) {
        const auto at = static_cast<std::size_t>(i);
        if (clashes[at] >= 0) {
            FailClashingItem(i, clashes[at]);
            allOk = false;
        } else if (writers[at] >= 0 && !queue_.WaitUntilEnded(writers[at])) {
            break;
        } else {
            allOk = ConvertItemAt(i) && allOk;
        }
        queue_.MarkEnded(i);
    }
    engine_.SetQualityPrompt(nullptr);
    flags_.converting = false;
    view_.RunFinished(allOk ? IDS_CONVERT_COMPLETE : IDS_CONVERT_HAD_ERRORS);
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
    engine_.OpenForItem(working_);
    const bool ok = engine_.ConvertCurrentItem();
    // The worker alone releases the item's graph, and only after it has left the conversion, so a
    // stop can never release it twice or under the worker's feet.
    engine_.CloseItem();
    view_.StoreRecord(*item, working_);

    {
        std::lock_guard lock(tickMutex_);
        flags_.currentIndex = -1;
        ++finishedItems_;
    }
    if (flags_.stopRequested) {
        view_.SetStatusCell(index, LoadString(IDS_USER_ABORT));
        if (!engine_.stoppedOutputBeside.empty()) view_.ReportStoppedOutput(index, engine_.stoppedOutputBeside);
        return ok;
    }
    FinishRow(index, ok);
    if (engine_.skippedPackets > 0) view_.ReportSkippedData(index, engine_.skippedPackets);
    return ok;
}

void ConversionRun::FailClashingItem(int index, int earlier) {
    ConvertItem& item = *items_.At(index);
    view_.SelectRunningRow(index);
    WriteField(item.status, LoadString(IDS_DEST_CLASH, {std::to_string(earlier + 1), DestinationFileName(item)}));
    FinishRow(index, false);
    std::lock_guard lock(tickMutex_);
    ++finishedItems_;
}

void ConversionRun::FinishRow(int index, bool ok) {
    if (!ok) {
        view_.RefreshRow(index);
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%s(%ds)", LoadString(IDS_COMPLETE).c_str(), flags_.elapsedSeconds.load());
    view_.SetStatusCell(index, text);
}

}  // namespace tessival
