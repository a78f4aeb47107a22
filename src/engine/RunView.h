#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "joblist/ConvertItem.h"
#include "joblist/QualityInfo.h"
#include "platform/media/filters/analysis/LoudnessMeter.h"

namespace tessival {

namespace media {
class IBaseFilter;
}

// The choices offered when the encoder refuses an item's quality.
enum class InvalidQualityChoice { ChooseAnother = 0, UseEncoderDefault = 1, SkipItem = 2 };

// What the engine asks the user while an item converts. Called on the worker thread; an
// implementation with a user interface shows its dialogs on that interface's thread and blocks
// the worker until the user answers.
class QualityPrompt {
public:
    virtual ~QualityPrompt() = default;
    virtual InvalidQualityChoice AskInvalidQuality() = 0;
    // The quality the user picks from the running encoder's list, or nothing when cancelled.
    virtual std::optional<QualityInfo> AskQuality(const ConvertItem& item,
                                                  const std::shared_ptr<media::IBaseFilter>& encoder) = 0;
};

// What a conversion run shows. The worker calls every operation on its own thread, except that
// SetStatusCell is also called from the thread that drives the progress tick.
class RunView : public QualityPrompt {
public:
    // Clear the selection and select the row the run works on.
    virtual void SelectRunningRow(int index) = 0;
    // Write the Status cell of a row.
    virtual void SetStatusCell(int index, const std::string& text) = 0;
    // Rewrite every cell of the row from its record (the record's status shows its error).
    virtual void RefreshRow(int index) = 0;
    // The worker converts a copy of each record, so that no other thread ever reads a record
    // while it is written. This puts the copy (its status, a quality chosen meanwhile) back into
    // the list's record, before the row's next change is shown. The default stores it at once,
    // which suits views whose records no other thread reads during a run.
    virtual void StoreRecord(ConvertItem& record, const ConvertItem& converted) { record = converted; }
    // The item is converted and its output waits for its commit, which then shows the row's final
    // text. A list shows that the row converts no more; a console, whose lines record how items
    // end, need not.
    virtual void ShowCommitPending(int /*index*/) {}
    // The run is over: "converting" is already clear. Show the final message (a string id).
    virtual void RunFinished(int messageId) = 0;
    // The item's decoders skipped that many undecodable pieces (called only when there were
    // some, after the row's final text). The list keeps its texts; a console may say it.
    virtual void ReportSkippedData(int /*index*/, std::int64_t /*packets*/) {}
    // A stopped item's output was kept beside an older file of its name, at this path.
    virtual void ReportStoppedOutput(int /*index*/, const std::string& /*keptAt*/) {}
    // A note on a converted item, after its row's final text.
    virtual void ReportNote(int /*index*/, const std::string& /*text*/) {}
    // What a converted item's output measured, when its loudness was measured, after its row's final text.
    virtual void ReportLoudness(int /*index*/, const media::LoudnessReading& /*reading*/) {}
};

}  // namespace tessival
