#pragma once

namespace tessival {

// The ID3v2 version of the MP3 files the window writes, kept between sessions: 4, or 3 for
// older players and car radios that read no other. The MP3 writer holds the version in use.

// Gives the MP3 writer the kept version (4 when none was kept).
void ApplyKeptId3Version();
// The version in use.
int Id3Version();
// Uses version (3 or 4) from now on and keeps it.
void SetId3Version(int version);

}  // namespace tessival
