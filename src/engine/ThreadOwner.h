#pragma once

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace tessival {

// Checks that a class's entry points are called on the thread that owns it: the thread that
// constructed it. Compiled out of release builds unless TESSIVAL_THREAD_CHECKS is defined.
class ThreadOwner {
public:
#if !defined(NDEBUG) || defined(TESSIVAL_THREAD_CHECKS)
    ThreadOwner() : owner_(std::this_thread::get_id()) {}
    bool OnOwner() const { return owner_ == std::this_thread::get_id(); }
    void Check() const {
        if (OnOwner()) return;
        std::fputs("tessival: called off its owner thread\n", stderr);
        std::abort();
    }

private:
    std::thread::id owner_;
#else
    bool OnOwner() const { return true; }
    void Check() const {}
#endif
};

}  // namespace tessival
