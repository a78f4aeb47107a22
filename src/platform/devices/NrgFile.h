#pragma once

#include <string>

#include "platform/devices/DiscLayout.h"
#include "platform/devices/DiscProblem.h"

namespace tessival {

// Reads a Nero image written track at once (its ETN2 or ETNF track table) into its layout: each
// track's sectors from the image file, and the 2 s gap the disc has before every track after the
// first, which the image does not hold, as silence. Audio is stored as a disc holds it. False
// when the image is of another kind (disc at once, left to libcdio) or cannot be read, with
// `problem` set only for the second.
bool ReadTrackAtOnceNrg(const std::string& path, DiscLayout& layout, DiscProblem& problem);

}  // namespace tessival
