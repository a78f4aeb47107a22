#include "cli/ConsoleRunView.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>

#include "joblist/TextField.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival::cli {

ConsoleRunView::ConsoleRunView(ItemList& items, InvalidQualityChoice badQuality, ProgressOutput progress,
                               std::vector<int> listPositions)
    : items_(items),
      listPositions_(std::move(listPositions)),
      badQuality_(badQuality),
      progress_(progress == ProgressOutput::Terminal && !ProgressLine::Supported(STDOUT_FILENO) ? ProgressOutput::None
                                                                                                : progress),
      json_(items, listPositions_) {}

void ConsoleRunView::RefreshRow(int index) {
    if (const ConvertItem* item = items_.At(index)) Print(index, ReadField(item->status), true);
}

void ConsoleRunView::ReportSkippedData(int index, std::int64_t packets) {
    const std::string text = "skipped " + std::to_string(packets) + (packets == 1 ? " damaged frame" : " damaged frames");
    Note(index, std::to_string(ItemNumber(listPositions_, index)) + ": " + text, text);
}

void ConsoleRunView::ReportNote(int index, const std::string& text) {
    Note(index, std::to_string(ItemNumber(listPositions_, index)) + ": " + text, text);
}

void ConsoleRunView::ReportStoppedOutput(int index, const std::string& keptAt) {
    char text[1024];
    std::snprintf(text, sizeof text, LoadString(IDS_STOPPED_OUTPUT_BESIDE).c_str(), keptAt.c_str());
    Note(index, text, text);
}

void ConsoleRunView::RunFinished(int messageId) {
    finalMessage_ = messageId;
    {
        std::lock_guard lock(mutex_);
        PutLine(progress_ == ProgressOutput::Json ? json_.FinishedLine(messageId, failed_.size(), ran_.size())
                                                  : ClosingLine(messageId));
        finished_ = true;
    }
    ::kill(::getpid(), SIGUSR1);  // wakes the main thread
}

// The window's closing text for failures tells the user to double-click a row; a console has
// none, so it counts the failed items instead.
std::string ConsoleRunView::ClosingLine(int messageId) const {
    if (messageId != IDS_CONVERT_HAD_ERRORS) return LoadString(messageId);
    return LoadString(IDS_CLI_ITEMS_FAILED, {std::to_string(failed_.size()), std::to_string(ran_.size())});
}

InvalidQualityChoice ConsoleRunView::AskInvalidQuality() {
    std::lock_guard lock(mutex_);
    line_.Erase(stdout);
    std::fprintf(stderr, "tessival-cli: the encoder does not offer the item's quality; %s\n",
                 badQuality_ == InvalidQualityChoice::SkipItem ? "skipping the item" : "using its default quality");
    return badQuality_;
}

double ConsoleRunView::ProgressInterval() const {
    switch (progress_) {
        case ProgressOutput::Terminal: return 0.25;
        case ProgressOutput::Json: return 0.5;
        case ProgressOutput::None: break;
    }
    return 0;
}

void ConsoleRunView::ShowProgress(BatchProgress progress, double runSeconds,
                                  const std::function<bool(int index)>& converts) {
    std::lock_guard lock(mutex_);
    if (finished_) return;
    // Checked under the lock: a worker clears its item before it prints the item's final status,
    // which then waits for this line.
    std::erase_if(progress.running, [&](const RunningItem& item) { return !converts(item.index); });
    if (progress_ == ProgressOutput::Terminal) {
        line_.Draw(stdout, ProgressLine::Format(progress, runSeconds, ProgressLine::Width(STDOUT_FILENO)));
        return;
    }
    if (progress_ != ProgressOutput::Json) return;
    for (const RunningItem& item : progress.running) std::printf("%s\n", json_.PositionLine(item).c_str());
    std::fflush(stdout);
}

void ConsoleRunView::HideProgress() {
    std::lock_guard lock(mutex_);
    line_.Erase(stdout);
}

void ConsoleRunView::Note(int index, const std::string& line, const std::string& note) {
    const std::string number = std::to_string(ItemNumber(listPositions_, index));
    std::lock_guard lock(mutex_);
    PutLine(progress_ == ProgressOutput::Json ? "{\"item\":" + number + ",\"note\":" + JsonString(note) + "}" : line);
}

void ConsoleRunView::Print(int index, const std::string& text, bool failed) {
    std::lock_guard lock(mutex_);
    ran_.insert(index);
    if (failed) failed_.insert(index);
    PutLine(progress_ == ProgressOutput::Json ? json_.StatusLine(index, text, failed)
                                              : std::to_string(ItemNumber(listPositions_, index)) + ": " + text);
}

void ConsoleRunView::PutLine(const std::string& line) {
    line_.Erase(stdout);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace tessival::cli
