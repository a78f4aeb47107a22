#pragma once

namespace tessival {

// What is left of an output whose writer died: whether it holds any audio, and making a WAVE
// file's sizes say what the file holds, so that players take it whole.

// A RIFF WAVE file with bytes in its data chunk, or another file of at least 4 KiB (a few frames
// of any compressed format; less is a header and nothing to keep).
bool HoldsAudio(int fd);

// Sets the RIFF and data sizes of a RIFF WAVE file to what the file holds (whole sample frames
// only: a cut last frame is left out of the data size). Other files are left alone. Returns
// false when the file could not be read or written.
bool RepairWaveSizes(int fd);

}  // namespace tessival
