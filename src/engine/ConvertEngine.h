#pragma once

#include <memory>

#include "engine/CoreBudget.h"
#include "engine/RunProgress.h"
#include "engine/RunView.h"
#include "engine/ThreadOwner.h"
#include "engine/conversion/ConversionOutcome.h"
#include "engine/conversion/HaltSwitch.h"
#include "engine/conversion/Preflight.h"
#include "joblist/ConvertItem.h"
#include "platform/io/GroupCommitter.h"
#include "platform/media/FilterRegistry.h"

namespace tessival {

class Shell;

// Converts the items of a run one at a time, each as an ItemConversion of its own, and keeps
// what outlives one item: the filters to use, the Stop button's switch and the progress display.
//
// Threads (checked): the thread that constructs the engine controls it and calls ResetHalt
// between runs; within a run one worker thread, the first to call, converts and sets the prompt;
// HaltGraph and Progress may come from any thread.
class ConvertEngine {
public:
    explicit ConvertEngine(Shell& shell,
                           std::shared_ptr<const media::FilterRegistry> registry = media::SystemRegistry());
    ConvertEngine(const ConvertEngine&) = delete;
    ConvertEngine& operator=(const ConvertEngine&) = delete;

    // The user's answers when the encoder refuses the item's quality; null answers "skip".
    void SetQualityPrompt(QualityPrompt* prompt) {
        worker_.Check();
        prompt_ = prompt;
    }

    // When a converted item's output reaches its name: before ConvertCurrentItem returns, or
    // later, through the engine's committer, with the outcome's commit telling when.
    enum class CommitTiming { BeforeReturning, Deferred };

    // Converts a copy of `item` and stores the copy back (a quality chosen meanwhile); the
    // item's status is the caller's to write from the outcome. Worker thread.
    ConversionOutcome ConvertCurrentItem(ConvertItem& item, CommitTiming timing = CommitTiming::BeforeReturning);
    // The committer of deferred outputs; the engines of one run share one, so that their
    // outputs share syncs. Controlling thread, between runs.
    void ShareCommitter(std::shared_ptr<GroupCommitter> committer) {
        controller_.Check();
        committer_ = std::move(committer);
    }
    // Commits the deferred outputs that wait for others to join them now: for a run with no more
    // items. Worker thread.
    void CommitWaitingOutputs() { committer_->CommitQueuedNow(); }
    // The cores free for a second thread per item; the engines of one run share them, so that
    // their items' threads never outnumber the cores. Controlling thread, between runs.
    void ShareCores(std::shared_ptr<CoreBudget> cores) {
        controller_.Check();
        cores_ = std::move(cores);
    }
    // Asks the running graph to stop and returns: the worker stops it and settles the file. A
    // graph not yet running will not start. Cleared by ResetHalt. Any thread.
    void HaltGraph() { halt_.Halt(); }
    // Ready for the next run, whose worker may be another thread. Controlling thread.
    void ResetHalt() {
        controller_.Check();
        halt_.Reset();
        worker_.Release();
    }
    // Position and levels of the running graph. Any thread.
    const RunProgress& Progress() const { return progress_; }

private:
    Shell& shell_;
    std::shared_ptr<const media::FilterRegistry> registry_;
    QualityPrompt* prompt_ = nullptr;
    HaltSwitch halt_;
    RunProgress progress_;
    std::shared_ptr<GroupCommitter> committer_ = std::make_shared<GroupCommitter>();
    std::shared_ptr<CoreBudget> cores_ = CoreBudget::LeftBy(1);
    ThreadOwner controller_;
    ThreadBinding worker_;
};

}  // namespace tessival
