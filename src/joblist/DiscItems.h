#pragma once

#include <string>
#include <vector>

#include "joblist/ConvertItem.h"
#include "platform/devices/DiscProblem.h"
#include "platform/shell/Shell.h"

namespace tessival {

// The user's text for a failure of a drive, a disc image or a track on it.
std::string DiscProblemText(const DiscProblem& problem);

// The CD-ROM scan over every optical drive the shell reports, in three passes: the audio CD
// tracks of all drives (TrackNN.cda), then the Video CD files (mpegav/*.dat), then the DVD video
// files (VIDEO_TS/*.vob). Drives without a disc or without such files add nothing.
std::vector<ConvertItem> ScanCdRomDrives(const Shell& shell);

// One CDA item per audio track of a disc image, built as the scan builds them for a drive
// holding that disc; none, with the reason, when the image cannot be read.
std::vector<ConvertItem> MakeDiscImageItems(const std::string& imagePath, DiscProblem& problem);

// Items as the file commands built them, with each disc image among them replaced by its
// tracks. An image that cannot be read adds nothing and leaves its reason in `problems`.
std::vector<ConvertItem> ExpandDiscImages(const std::vector<ConvertItem>& items, std::vector<DiscProblem>& problems);

}  // namespace tessival
