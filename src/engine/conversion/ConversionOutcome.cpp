#include "engine/conversion/ConversionOutcome.h"

#include <system_error>

#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {

void ConversionOutcome::SettleCommit(int error) {
    commit.reset();
    if (!error || !converted) return;
    converted = false;
    stringId = IDS_DEST_WRITE_FAILED;
    cause = media::HResultFromErrno(error);
    detail.clear();
}

std::string StatusText(const ConversionOutcome& outcome) {
    if (outcome.stringId == 0) return outcome.detail;
    if (outcome.stringId == IDS_DEST_WRITE_FAILED) {
        // The system's own words for what went wrong with the file.
        return LoadString(outcome.stringId,
                          {std::system_category().message(media::ErrnoFromHResult(outcome.cause))});
    }
    if (outcome.stringId == IDS_DEST_NOT_AUDIO || outcome.stringId == IDS_TOO_MANY_CHANNELS ||
        outcome.stringId == IDS_SOURCE_CODEC_MISSING)
        return LoadString(outcome.stringId, {outcome.detail});
    if (outcome.stringId == IDS_CONVERSION_FAILED)
        return LoadString(outcome.stringId, {media::HResultToString(outcome.cause)});
    return LoadString(outcome.stringId);
}

}  // namespace tessival
