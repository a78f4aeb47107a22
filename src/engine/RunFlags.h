#pragma once

#include <atomic>

namespace tessival {

// The values a conversion run shares between its worker and the thread that controls it. A window
// hands its own to the run, so the window and the run can never disagree about them.
struct RunFlags {
    std::atomic<bool> converting{false};
    std::atomic<bool> stopRequested{false};
    std::atomic<int> currentIndex{-1};  // -1 between items: the tick then writes nothing
    std::atomic<int> elapsedSeconds{0};
};

}  // namespace tessival
