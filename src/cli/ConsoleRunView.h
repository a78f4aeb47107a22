#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "cli/BatchOptions.h"
#include "cli/JsonProgress.h"
#include "cli/ProgressLine.h"
#include "engine/BatchProgress.h"
#include "engine/RunView.h"

namespace tessival::cli {

// Prints each change of a row as "N: text" (rows counted from 1), or as JSON objects, each line
// written whole whichever worker's thread calls. On a terminal a progress line sits under the
// status lines; it is erased before any other line and at the end of the run.
class ConsoleRunView : public RunView {
public:
    // A Terminal progress becomes None when stdout is not a terminal that can rewrite a line.
    // listPositions: each item's place in its list file when the items are a part of it (a shard),
    // so that lines carry the list's numbers; empty when they are the whole list.
    ConsoleRunView(ItemList& items, InvalidQualityChoice badQuality, ProgressOutput progress,
                   std::vector<int> listPositions = {});

    void SelectRunningRow(int) override {}
    void SetStatusCell(int index, const std::string& text) override { Print(index, text, false); }
    void RefreshRow(int index) override;
    void ReportSkippedData(int index, std::int64_t packets) override;
    void ReportNote(int index, const std::string& text) override;
    void ReportStoppedOutput(int index, const std::string& keptAt) override;
    void RunFinished(int messageId) override;
    InvalidQualityChoice AskInvalidQuality() override;
    std::optional<QualityInfo> AskQuality(const ConvertItem&, const std::shared_ptr<media::IBaseFilter>&) override {
        return std::nullopt;
    }

    // How often ShowProgress wants to be called, in seconds; 0 when it shows nothing.
    double ProgressInterval() const;
    // The progress line, or a JSON object for each running item; nothing once the run has finished.
    // Items that converts() no longer holds running have shown their final status meanwhile and
    // are left out, so no progress of an item follows its end.
    void ShowProgress(BatchProgress progress, double runSeconds, const std::function<bool(int index)>& converts);
    // Clears the progress line (a stop was asked for: no more progress is coming).
    void HideProgress();

    int FinalMessage() const { return finalMessage_; }

private:
    // A line about an item beside its statuses: as it stands, or as a JSON note.
    void Note(int index, const std::string& line, const std::string& note);
    void Print(int index, const std::string& text, bool failed);
    // The run's last line. Called under mutex_.
    std::string ClosingLine(int messageId) const;
    // Writes one whole line, the progress line erased first. Called under mutex_.
    void PutLine(const std::string& line);

    ItemList& items_;
    const std::vector<int> listPositions_;
    InvalidQualityChoice badQuality_;
    ProgressOutput progress_;
    std::mutex mutex_;
    JsonProgress json_;       // guarded by mutex_
    ProgressLine line_;       // guarded by mutex_
    bool finished_ = false;   // guarded by mutex_
    std::set<int> ran_;       // items that showed a status; guarded by mutex_
    std::set<int> failed_;    // items that ended with an error; guarded by mutex_
    std::atomic<int> finalMessage_{0};
};

}  // namespace tessival::cli
