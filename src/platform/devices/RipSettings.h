#pragma once

namespace tessival {

// How CD tracks are read in this process: the drive's read offset in samples and whether each
// track is read twice and compared (test and copy). Set once before a run; any thread reads it.
struct RipSettings {
    int readOffset = 0;
    bool testAndCopy = false;

    static RipSettings Current();
    static void Set(const RipSettings& settings);
};

}  // namespace tessival
