#pragma once

#include <pulse/context.h>
#include <pulse/mainloop.h>

#include <chrono>
#include <functional>
#include <memory>

namespace tessival {

// A short-lived client connection for one question to the PulseAudio server, run on the
// caller's thread with a deadline, so that a missing or stuck server never blocks the caller.
class PulseQuery {
public:
    explicit PulseQuery(std::chrono::milliseconds timeout);
    ~PulseQuery();
    PulseQuery(const PulseQuery&) = delete;
    PulseQuery& operator=(const PulseQuery&) = delete;

    // False when no server answered in time.
    bool Connected() const { return connected_; }
    pa_context* Context() const { return context_; }
    // Runs the loop until `done` holds; false on the deadline or a lost connection.
    bool RunUntil(const std::function<bool()>& done);
    // Runs an operation to its end (the caller's callbacks record its results).
    bool Await(pa_operation* operation);

private:
    std::chrono::steady_clock::time_point deadline_;
    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    bool connected_ = false;
};

}  // namespace tessival
