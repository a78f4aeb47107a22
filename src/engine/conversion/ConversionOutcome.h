#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/io/PendingCommit.h"
#include "platform/media/HResult.h"
#include "platform/media/filters/analysis/LoudnessMeter.h"

namespace tessival {

// How one item's conversion ended, as a value the run turns into the row's text. Filled by the
// conversion on the worker thread and handed back whole; nothing in it points into a graph.
// An output that ended cleanly may still wait for its commit: the item is done only after it.
struct ConversionOutcome {
    bool converted = false;
    // The string id that explains the item's state, 0 when there is nothing to say. A conversion
    // that succeeded through a later chain keeps the earlier chain's reason, as the list shows it.
    int stringId = 0;
    // The media layer's reason, for the texts that carry one.
    media::HRESULT cause = media::S_OK;
    // A finished text of its own (a disc track's problem), used when stringId is 0; with
    // IDS_DEST_NOT_AUDIO, the file its text names; with IDS_TOO_MANY_CHANNELS, the source's channels.
    std::string detail;
    // The user chose to skip the item rather than pick another quality.
    bool skipped = false;
    // Where a stopped item's output went when an older file had its name, else empty.
    std::string keptBeside;
    // Undecodable pieces the decoders skipped while the graph ran.
    std::int64_t skippedPackets = 0;
    // Something the user should know of a converted item (its level held down, say); empty when none.
    std::string note;
    // What the output measured, when the item converted with its loudness measured.
    std::optional<media::LoudnessReading> loudness;
    // The output's commit while it is under way, else null.
    std::shared_ptr<PendingCommit> commit;

    // Takes the commit's result (0 or an errno value): an output that did not reach its name
    // fails the item.
    void SettleCommit(int error);

    bool HasReason() const { return stringId != 0 || !detail.empty(); }
    bool SameReason(const ConversionOutcome& other) const {
        return stringId == other.stringId && detail == other.detail;
    }
};

// The Status text of an outcome's reason; empty when it has none (the record keeps its text).
// The one place where an outcome becomes words.
std::string StatusText(const ConversionOutcome& outcome);

}  // namespace tessival
