#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/BatchProgress.h"
#include "engine/ItemQueue.h"
#include "engine/RunFlags.h"
#include "engine/RunView.h"
#include "engine/ThreadOwner.h"
#include "joblist/ItemList.h"

namespace tessival {

class ConvertEngine;
struct ConversionOutcome;

// What a run knows of its list before anything is written, computed once per run and shared by
// its workers: per position, the earlier item that writes the same file and the earlier item
// whose output it reads (-1 for none).
struct RunPlan {
    std::vector<int> clashes;
    std::vector<int> writers;
    // Items whose destination is up to date end as skipped instead of converting.
    bool skipUpToDate = false;
    static std::shared_ptr<const RunPlan> Of(const ItemList& items, bool skipUpToDate = false);
    // With album gain on, the albums of the run, found by the first worker that calls this (it reads
    // every source's tags, so never on the window's thread); the others wait for it, and a Stop
    // ends it.
    void PlanAlbums(const ItemList& items, const std::atomic<bool>& stopped) const;

private:
    mutable std::once_flag albumsPlanned_;
};

// One conversion run over a list: a worker thread converts the items first to last with the
// engine and reports each row's progress to the view. A converted item's output is committed
// while the worker goes on with the next item; its row shows the item complete (or failed) once
// the commit is over, from the committer's thread, and the run ends after the last commit. Start, Stop and Tick are called from one
// controlling thread (the window's, or the command line's main thread).
//
// The list must keep its shape while the run is converting: the callers refuse every structural
// change while Converting() holds.
class ConversionRun {
public:
    ConversionRun(ItemList& items, ConvertEngine& engine, RunView& view);
    // A run that keeps its state in the caller's flags.
    ConversionRun(ItemList& items, ConvertEngine& engine, RunView& view, RunFlags& flags);
    // One of several runs that take their items from a shared queue; the owner fills the queue
    // before it starts them.
    ConversionRun(ItemList& items, ConvertEngine& engine, RunView& view, ItemQueue& sharedQueue);
    ~ConversionRun();
    ConversionRun(const ConversionRun&) = delete;
    ConversionRun& operator=(const ConversionRun&) = delete;

    // Starts the worker unless a run is going on. The caller checks the items first. A run of
    // several workers hands each the one plan it made; a run of its own makes its own.
    bool Start(std::shared_ptr<const RunPlan> plan = nullptr);
    // Asks the run to end after the current item, whose graph is halted now. Does nothing while
    // no run is going on. Does not wait: the worker releases the item's graph once it has left it.
    void Stop();
    // The one-second progress tick: "Doing...N" in the running row's Status cell.
    void Tick();
    // Blocks until the worker has finished (for callers without an event loop).
    void Wait();
    // Adds this worker's finished items and its running item (with its graph's position, read
    // together with the index) to `progress`. Safe from the controlling thread at any moment.
    void AddProgress(BatchProgress& progress);

    bool Converting() const { return flags_.converting; }
    bool StopRequested() const { return flags_.stopRequested; }
    int CurrentIndex() const { return flags_.currentIndex; }
    int ElapsedSeconds() const { return flags_.elapsedSeconds; }

private:
    void ThreadProc();
    // Ends the item in the queue itself, once its output is committed.
    bool ConvertItemAt(int index);
    // Shows the converted item complete once its output has its name.
    void FinishAfterCommit(int index, ConversionOutcome outcome);
    void WaitForCommits();
    // An item that would overwrite the file of the earlier item `earlier` fails without converting.
    bool FailClashingItem(int index, int earlier);
    // An item whose destination is up to date ends without converting, as a success.
    bool SkipUpToDateItem(int index);
    // Hands the worker's copy back to the list and shows how the item ended; `converting` when
    // the item's graph ran (a stop then shows as a stop).
    void HandBack(int index, const ConversionOutcome& outcome, bool converting);
    // The worker's copy goes back to the list and the worker leaves the item.
    void StoreAndLeave(int index, const ConversionOutcome& outcome);
    void ShowEnd(int index, const ConversionOutcome& outcome, int seconds);
    void FinishRow(int index, bool ok, int seconds);

    ItemList& items_;
    ConvertEngine& engine_;
    RunView& view_;
    RunFlags ownFlags_;
    RunFlags& flags_;
    ItemQueue ownQueue_;
    ItemQueue& queue_;
    const bool ownsQueue_;
    std::thread worker_;
    std::shared_ptr<const RunPlan> plan_;
    ThreadOwner controller_;
    // The worker's copy of the record it converts: the worker writes into it, never into the list.
    ConvertItem working_;
    // Keeps a tick from writing "Doing..." over a row the worker has just finished, and a progress
    // reader from pairing one item's index with the next item's graph.
    std::mutex tickMutex_;
    int finishedItems_ = 0;  // guarded by tickMutex_
    std::mutex commitMutex_;
    std::condition_variable commitsSettled_;
    int commitsPending_ = 0;  // guarded by commitMutex_
    std::atomic<bool> commitFailed_{false};
};

}  // namespace tessival
