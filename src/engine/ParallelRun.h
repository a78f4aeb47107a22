#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "engine/ConversionRun.h"
#include "engine/ItemQueue.h"

namespace tessival {

class Shell;

// A conversion run over chosen positions of a list with several workers, each with its own engine
// and graph. The workers take the positions in order; the view hears every row change as from one
// run (it must accept calls from several worker threads at once) and one final message when the
// last worker ends. Start, Stop, Tick and Wait are called from one controlling thread.
class ParallelRun {
public:
    // workers < 1 counts as 1, more than the cores as many as the cores. Items that write one file never run side by side: the later ones
    // fail as clashes before they convert.
    ParallelRun(ItemList& items, std::vector<int> positions, int workers, Shell& shell, RunView& view);
    ~ParallelRun();
    ParallelRun(const ParallelRun&) = delete;
    ParallelRun& operator=(const ParallelRun&) = delete;

    // skipUpToDate: items whose destination is not older than their source end as skipped.
    void Start(bool skipUpToDate = false);
    // Stops every running item as the Stop button does; no worker takes another item.
    void Stop();
    void Tick();
    void Wait();
    // Every worker's running item and the items that ended so far.
    BatchProgress Progress();
    // Whether a worker converts the item at index now (its final status is not yet shown). Safe
    // from any thread.
    bool Converts(int index) const;

    bool StopRequested() const;
    int Workers() const { return static_cast<int>(runs_.size()); }

private:
    // Passes every call on to the caller's view, but RunFinished only once all workers have ended.
    class MergedView : public RunView {
    public:
        MergedView(RunView& view, int workers) : view_(view), pending_(workers) {}
        void SelectRunningRow(int index) override { view_.SelectRunningRow(index); }
        void SetStatusCell(int index, const std::string& text) override { view_.SetStatusCell(index, text); }
        void RefreshRow(int index) override { view_.RefreshRow(index); }
        void ShowCommitPending(int index) override { view_.ShowCommitPending(index); }
        void RunFinished(int messageId) override;
        InvalidQualityChoice AskInvalidQuality() override { return view_.AskInvalidQuality(); }
        std::optional<QualityInfo> AskQuality(const ConvertItem& item,
                                              const std::shared_ptr<media::IBaseFilter>& encoder) override {
            return view_.AskQuality(item, encoder);
        }
        void StoreRecord(ConvertItem& record, const ConvertItem& converted) override {
            view_.StoreRecord(record, converted);
        }
        void ReportSkippedData(int index, std::int64_t packets) override { view_.ReportSkippedData(index, packets); }
        void ReportStoppedOutput(int index, const std::string& keptAt) override {
            view_.ReportStoppedOutput(index, keptAt);
        }
        void ReportNote(int index, const std::string& text) override { view_.ReportNote(index, text); }
        void ReportLoudness(int index, const media::LoudnessReading& reading) override {
            view_.ReportLoudness(index, reading);
        }

    private:
        RunView& view_;
        std::mutex mutex_;
        int pending_;
        int worstMessage_ = 0;
    };

    ItemList& items_;
    ItemQueue queue_;
    std::unique_ptr<MergedView> merged_;
    std::vector<std::unique_ptr<ConvertEngine>> engines_;
    std::vector<std::unique_ptr<ConversionRun>> runs_;
};

}  // namespace tessival
