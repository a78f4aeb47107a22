#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "platform/media/GraphInterfaces.h"

namespace tessival {

// The Stop button's way into a running graph. Halt may come from any thread at any moment; the
// other calls come from the worker, which alone starts and stops graphs. Halting only signals the
// running graph: stopping it means joining threads and file work, which is the worker's.
class HaltSwitch {
public:
    // Any thread. Signals the running graph, if any, and keeps a graph not yet running from starting.
    void Halt();
    // Controlling thread, before a run starts.
    void Reset();
    // Worker. Starts the graph unless a halt came first: false then, and `started` is left alone.
    // The start and the check are one step, so no halt falls between them.
    bool StartUnlessHalted(media::IMediaControl& control, std::shared_ptr<media::IMediaEventSink> sink,
                           media::HRESULT& started);
    // Worker. The graph no longer runs; later halts only mark the switch.
    void Disarm();
    // Set by Halt until Reset, for work outside a graph (a first pass over a source) to poll.
    const std::atomic<bool>& HaltedFlag() const { return haltedFlag_; }

private:
    std::mutex mutex_;
    bool halted_ = false;                            // guarded by mutex_
    std::shared_ptr<media::IMediaEventSink> sink_;  // guarded by mutex_; the running graph's
    std::atomic<bool> haltedFlag_{false};
};

}  // namespace tessival
