#include "platform/devices/PulseQuery.h"

#include <pulse/operation.h>

namespace tessival {

PulseQuery::PulseQuery(std::chrono::milliseconds timeout) : deadline_(std::chrono::steady_clock::now() + timeout) {
    loop_ = pa_mainloop_new();
    if (!loop_) return;
    context_ = pa_context_new(pa_mainloop_get_api(loop_), "Tessival");
    if (!context_) return;
    // Never start a server of our own: no server simply means no capture devices.
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return;
    connected_ = RunUntil([this] { return pa_context_get_state(context_) == PA_CONTEXT_READY; });
}

PulseQuery::~PulseQuery() {
    if (context_) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    if (loop_) pa_mainloop_free(loop_);
}

bool PulseQuery::RunUntil(const std::function<bool()>& done) {
    while (!done()) {
        const pa_context_state_t state = pa_context_get_state(context_);
        if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED) return false;
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline_ - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        if (pa_mainloop_prepare(loop_, static_cast<int>(left.count())) < 0 || pa_mainloop_poll(loop_) < 0 ||
            pa_mainloop_dispatch(loop_) < 0)
            return false;
    }
    return true;
}

bool PulseQuery::Await(pa_operation* operation) {
    if (!operation) return false;
    const bool done = RunUntil([operation] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; });
    if (!done) pa_operation_cancel(operation);
    pa_operation_unref(operation);
    return done;
}

}  // namespace tessival
