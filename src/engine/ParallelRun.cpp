#include "engine/ParallelRun.h"

#include <algorithm>

#include "engine/ConvertEngine.h"
#include "platform/io/AtomicFile.h"
#include "res/ResourceIds.h"

namespace tessival {

void ParallelRun::MergedView::RunFinished(int messageId) {
    int finalMessage = 0;
    {
        std::lock_guard lock(mutex_);
        if (messageId != IDS_CONVERT_COMPLETE || worstMessage_ == 0) worstMessage_ = messageId;
        if (--pending_ > 0) return;
        finalMessage = worstMessage_;
    }
    view_.RunFinished(finalMessage);
}

ParallelRun::ParallelRun(ItemList& items, std::vector<int> positions, int workers, Shell& shell, RunView& view)
    : items_(items), queue_(std::move(positions)) {
    // Items that would write one file never run side by side: the later ones fail before they
    // convert (the run's clash check), so any number of workers leaves the files one would.
    // More workers than cores would only take turns on them.
    workers = std::clamp(workers, 1, CoreBudget::UsableCores());
    merged_ = std::make_unique<MergedView>(view, workers);
    // One committer for all, so that the outputs of every worker share their syncs.
    const auto committer = std::make_shared<GroupCommitter>();
    // Cores the workers leave free go to long items' second threads.
    const auto cores = CoreBudget::LeftBy(workers);
    for (int i = 0; i < workers; ++i) {
        engines_.push_back(std::make_unique<ConvertEngine>(shell));
        engines_.back()->ShareCommitter(committer);
        engines_.back()->ShareCores(cores);
        runs_.push_back(std::make_unique<ConversionRun>(items, *engines_.back(), *merged_, queue_));
    }
}

// The runs end before the engines and the view they use.
ParallelRun::~ParallelRun() { runs_.clear(); }

void ParallelRun::Start(bool skipUpToDate) {
    ForgetFolderScans();  // temporaries left by writers killed since the last run
    const auto plan = RunPlan::Of(items_, skipUpToDate);
    for (auto& run : runs_) run->Start(plan);
}

void ParallelRun::Stop() {
    for (auto& run : runs_) run->Stop();
}

void ParallelRun::Tick() {
    for (auto& run : runs_) run->Tick();
}

void ParallelRun::Wait() {
    for (auto& run : runs_) run->Wait();
}

BatchProgress ParallelRun::Progress() {
    BatchProgress progress;
    progress.total = static_cast<int>(queue_.Positions().size());
    for (auto& run : runs_) run->AddProgress(progress);
    for (RunningItem& item : progress.running) item.ordinal = queue_.PlaceOf(item.index) + 1;
    std::sort(progress.running.begin(), progress.running.end(),
              [](const RunningItem& a, const RunningItem& b) { return a.ordinal < b.ordinal; });
    return progress;
}

bool ParallelRun::Converts(int index) const {
    return std::any_of(runs_.begin(), runs_.end(), [index](const auto& run) { return run->CurrentIndex() == index; });
}

bool ParallelRun::StopRequested() const {
    return std::any_of(runs_.begin(), runs_.end(), [](const auto& run) { return run->StopRequested(); });
}

}  // namespace tessival
