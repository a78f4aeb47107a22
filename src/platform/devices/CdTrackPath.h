#pragma once

#include <string>

namespace tessival {

// Audio CD tracks appear as virtual files "<drive>/TrackNN.cda", where <drive> is a device node,
// the mount point of a mixed-mode disc's data session or a disc image file.

// "Track01.cda" for track 1.
std::string TrackFileName(int trackNumber);

// Splits "<drive>/TrackNN.cda" (the name matched case-insensitively). False for any other path.
bool ParseTrackPath(const std::string& path, std::string& drive, int& trackNumber);

}  // namespace tessival
