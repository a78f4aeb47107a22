#pragma once

namespace tessival {

// How the window reads audio CDs, kept between sessions: the drive's read offset (samples), test
// and copy (each track read twice and compared), and the online look-ups (AccurateRip for the rip
// log, MusicBrainz and gnudb for names). The reader itself holds the settings in use.

// Gives the reader the kept settings (offset 0, both off, when none were kept).
void ApplyKeptDiscReadSettings();
void SetDiscLookUp(bool on);
void SetDiscTestAndCopy(bool on);
void SetDriveReadOffset(int samples);

}  // namespace tessival
