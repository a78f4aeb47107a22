#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine/RunView.h"
#include "joblist/ItemList.h"
#include "joblist/TextField.h"

namespace tessival::test {

// A run view that keeps every row's Status cell and the history of changes, answers the
// quality questions as scripted, and lets a test wait for a cell text or the end of the run.
class RecordingRunView : public RunView {
public:
    explicit RecordingRunView(ItemList& items) : items_(items) {}

    void SelectRunningRow(int index) override { Set([&] { selected = index; }); }
    void SetStatusCell(int index, const std::string& text) override {
        Set([&] {
            cells[index] = text;
            history.push_back(std::to_string(index) + ":" + text);
        });
    }
    void RefreshRow(int index) override {
        Set([&] {
            cells[index] = ReadField(items_.At(index)->status);
            history.push_back(std::to_string(index) + ":" + cells[index]);
        });
    }
    void RunFinished(int messageId) override {
        Set([&] {
            finalMessage = messageId;
            ++finishCount;
        });
    }
    void ReportStoppedOutput(int, const std::string& keptAt) override { Set([&] { keptBeside = keptAt; }); }
    InvalidQualityChoice AskInvalidQuality() override {
        std::lock_guard lock(mutex_);
        ++invalidQualityAsked;
        return invalidQualityAnswer;
    }
    std::optional<QualityInfo> AskQuality(const ConvertItem&, const std::shared_ptr<media::IBaseFilter>& encoder) override {
        std::lock_guard lock(mutex_);
        ++qualityAsked;
        askedWithEncoder = encoder != nullptr;
        return qualityAnswer;
    }

    // Waits until the cell shows text (or a text starting with it); false after the time-out.
    bool WaitForCell(int index, const std::string& prefix, int seconds = 60) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(seconds),
                                 [&] { return cells.count(index) && cells[index].rfind(prefix, 0) == 0; });
    }
    bool WaitForFinish(int seconds = 120) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(seconds), [&] { return finishCount > 0; });
    }
    std::string Cell(int index) {
        std::lock_guard lock(mutex_);
        return cells.count(index) ? cells[index] : std::string();
    }

    std::map<int, std::string> cells;
    std::string keptBeside;  // where the last stopped output went beside an older file
    std::vector<std::string> history;
    int selected = -1;
    int finalMessage = 0;
    int finishCount = 0;
    int invalidQualityAsked = 0;
    int qualityAsked = 0;
    bool askedWithEncoder = false;
    InvalidQualityChoice invalidQualityAnswer = InvalidQualityChoice::SkipItem;
    std::optional<QualityInfo> qualityAnswer;

private:
    template <class F>
    void Set(F change) {
        {
            std::lock_guard lock(mutex_);
            change();
        }
        changed_.notify_all();
    }

    ItemList& items_;
    std::mutex mutex_;
    std::condition_variable changed_;
};

}  // namespace tessival::test
