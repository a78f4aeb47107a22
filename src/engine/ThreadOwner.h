#pragma once

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace tessival {

// Thread rules made visible: a class records which thread may call an entry point and checks it
// at each call, aborting with a message when the rule is broken (a data race caught at its
// source instead of as a corrupt row later). Built in unless TESSIVAL_THREAD_CHECKS is 0.
#ifndef TESSIVAL_THREAD_CHECKS
#define TESSIVAL_THREAD_CHECKS 1
#endif

[[noreturn]] inline void ThreadRuleBroken() {
    std::fputs("tessival: called off its owner thread\n", stderr);
    std::abort();
}

// The thread that constructed the object owns it.
class ThreadOwner {
public:
    void Check() const {
        if (TESSIVAL_THREAD_CHECKS && owner_ != std::this_thread::get_id()) ThreadRuleBroken();
    }

private:
    std::thread::id owner_ = std::this_thread::get_id();
};

// The first thread that checks owns it, until Release: the worker of one run.
class ThreadBinding {
public:
    void Check() {
        if (!TESSIVAL_THREAD_CHECKS) return;
        std::thread::id bound{};
        const std::thread::id self = std::this_thread::get_id();
        if (!owner_.compare_exchange_strong(bound, self) && bound != self) ThreadRuleBroken();
    }
    void Release() { owner_ = std::thread::id{}; }

private:
    std::atomic<std::thread::id> owner_{};
};

}  // namespace tessival
