#pragma once

#include <string>

#include "platform/devices/DiscLayout.h"
#include "platform/devices/DiscProblem.h"

namespace tessival {

// Reads the cue sheet of a disc image into its layout: FILE lines over raw sectors (BINARY
// little-endian, MOTOROLA big-endian, names relative to the sheet's folder, one or many), each
// TRACK with its mode, INDEX 00/01, PREGAP and POSTGAP, CD-Text, ISRC, CATALOG and REM DATE,
// GENRE, DISCID, COMMENT. False with the reason when the sheet or its files cannot serve.
bool ReadCueSheet(const std::string& path, DiscLayout& layout, DiscProblem& problem);

}  // namespace tessival
