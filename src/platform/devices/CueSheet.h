#pragma once

#include <string>

#include "platform/devices/DiscLayout.h"
#include "platform/devices/DiscProblem.h"

namespace tessival {

// Reads a cue sheet over raw sector files: FILE lines (BINARY little-endian, MOTOROLA big-endian,
// names relative to the sheet's folder, one or many), TRACK with its mode, INDEX 00/01, PREGAP and
// POSTGAP, CD-Text (TITLE, PERFORMER, SONGWRITER, GENRE), ISRC, CATALOG and REM DATE, GENRE, DISCID,
// COMMENT, in UTF-8 or Windows-1252. False with the reason when the sheet or its files cannot serve.
bool ReadCueSheet(const std::string& path, DiscLayout& layout, DiscProblem& problem);

}  // namespace tessival
