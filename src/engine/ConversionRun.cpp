#include "engine/ConversionRun.h"

#include <cstdio>

#include "engine/ConvertEngine.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {

ConversionRun::ConversionRun(ItemList& items, ConvertEngine& engine, RunView& view)
    : items_(items), engine_(engine), view_(view) {}

ConversionRun::~ConversionRun() {
    Stop();
    Wait();
}

bool ConversionRun::Start() {
    if (converting_.exchange(true)) return false;
    if (worker_.joinable()) worker_.join();  // the previous run's thread has ended already
    stopRequested_ = false;
    engine_.ResetHalt();
    worker_ = std::thread(&ConversionRun::ThreadProc, this);
    return true;
}

void ConversionRun::Stop() {
    if (!converting_) return;
    stopRequested_ = true;
    engine_.HaltGraph();
}

void ConversionRun::Tick() {
    std::lock_guard lock(tickMutex_);
    const int index = currentIndex_;
    if (index < 0) return;
    char text[32];
    std::snprintf(text, sizeof text, "Doing...%d", elapsedSeconds_.fetch_add(1));
    view_.SetStatusCell(index, text);
}

void ConversionRun::Wait() {
    if (worker_.joinable() && worker_.get_id() != std::this_thread::get_id()) worker_.join();
}

void ConversionRun::ThreadProc() {
    converting_ = true;
    bool allOk = true;
    engine_.SetQualityPrompt(&view_);
    for (int i = 0; i < static_cast<int>(items_.Count()) && !stopRequested_; ++i) {
        allOk = ConvertItemAt(i) && allOk;
    }
    engine_.SetQualityPrompt(nullptr);
    converting_ = false;
    view_.RunFinished(allOk ? IDS_CONVERT_COMPLETE : IDS_CONVERT_HAD_ERRORS);
}

bool ConversionRun::ConvertItemAt(int index) {
    ConvertItem* item = items_.At(index);
    view_.SelectRunningRow(index);
    {
        // A tick sees the new row only once it shows "Init...".
        std::lock_guard lock(tickMutex_);
        view_.SetStatusCell(index, LoadString(IDS_INIT));
        elapsedSeconds_ = 0;
        currentIndex_ = index;
    }

    engine_.OpenForItem(*item);
    const bool ok = engine_.ConvertCurrentItem();
    // The worker alone releases the item's graph, and only after it has left the conversion, so a
    // stop can never release it twice or under the worker's feet.
    engine_.CloseItem();

    {
        std::lock_guard lock(tickMutex_);
        currentIndex_ = -1;
    }
    if (stopRequested_) {
        view_.SetStatusCell(index, LoadString(IDS_USER_ABORT));
        return ok;
    }
    FinishRow(index, ok);
    return ok;
}

void ConversionRun::FinishRow(int index, bool ok) {
    if (!ok) {
        view_.RefreshRow(index);
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%s(%ds)", LoadString(IDS_COMPLETE).c_str(), elapsedSeconds_.load());
    view_.SetStatusCell(index, text);
}

}  // namespace tessival
