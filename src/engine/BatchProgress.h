#pragma once

#include <vector>

#include "engine/RunProgress.h"

namespace tessival {

// One item that converts at the moment a batch's progress was read.
struct RunningItem {
    int index = -1;    // list position
    int ordinal = 0;   // 1-based place among the positions the run converts
    ProgressSnapshot media;  // position and duration; no levels
};

// A whole run's progress at one moment, for displays on the controlling thread.
struct BatchProgress {
    int total = 0;     // items the run converts
    int finished = 0;  // items that ended, whatever their outcome
    std::vector<RunningItem> running;  // by ordinal
};

}  // namespace tessival
