#pragma once

#include <string>

#include "platform/devices/DiscLayout.h"
#include "platform/devices/DiscProblem.h"

namespace tessival {

// Reads a cdrdao toc file: TRACK with its mode, FILE/AUDIOFILE (raw audio big-endian unless SWAP,
// .wav files little-endian after their header, an optional #byte offset, start and length in
// mm:ss:ff or samples), DATAFILE, SILENCE, ZERO, PREGAP, START, ISRC, CATALOG and CD_TEXT blocks
// (the first language). False with the reason when the file or the files it names cannot serve.
bool ReadTocFile(const std::string& path, DiscLayout& layout, DiscProblem& problem);

}  // namespace tessival
