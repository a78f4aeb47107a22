#pragma once

#include <string>

namespace tessival {

// How CD tracks are read in this process: the drive's read offset in samples, whether each track
// is read twice and compared (test and copy), and whether the disc is looked up: the rip log in
// the AccurateRip database, the tracks' tags at MusicBrainz or else gnudb (CDDB), at those base
// URLs. Set once before a run; any thread reads it.
struct RipSettings {
    // Drives are off by a few sectors at most; AccurateRip lists none beyond this.
    static constexpr int kMostReadOffset = 5000;

    int readOffset = 0;
    bool testAndCopy = false;
    bool lookUp = false;
    std::string accurateRipUrl = "http://www.accuraterip.com";
    std::string musicBrainzUrl = "https://musicbrainz.org";
    std::string gnudbUrl = "https://gnudb.gnudb.org";

    static RipSettings Current();
    static void Set(const RipSettings& settings);
};

}  // namespace tessival
