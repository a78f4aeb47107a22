// How the failures of an audio CD track reach the item's status.
#include "engine/ConvertEngine.h"
#include "joblist/DiscItems.h"
#include "joblist/TextField.h"
#include "platform/media/IDiscTrackStatus.h"
#include "platform/media/QueryInterface.h"

namespace tessival {

bool ConvertEngine::ReportDiscProblem() {
    const auto track = media::QueryInterface<media::IDiscTrackStatus>(fileSource);
    if (!track || !currentItem) return false;
    const DiscProblem problem = track->Problem();
    if (!problem) return false;
    WriteField(currentItem->status, DiscProblemText(problem));
    return true;
}

}  // namespace tessival
