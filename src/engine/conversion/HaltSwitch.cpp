#include "engine/conversion/HaltSwitch.h"

namespace tessival {

using namespace media;

void HaltSwitch::Halt() {
    std::lock_guard lock(mutex_);
    halted_ = true;
    haltedFlag_ = true;
    if (sink_) sink_->Notify(EC_USERABORT, 0, 0);
}

void HaltSwitch::Reset() {
    std::lock_guard lock(mutex_);
    halted_ = false;
    haltedFlag_ = false;
}

bool HaltSwitch::StartUnlessHalted(IMediaControl& control, std::shared_ptr<IMediaEventSink> sink, HRESULT& started) {
    std::lock_guard lock(mutex_);
    if (halted_) return false;
    started = control.Run();
    if (SUCCEEDED(started)) sink_ = std::move(sink);
    return true;
}

void HaltSwitch::Disarm() {
    std::lock_guard lock(mutex_);
    sink_.reset();
}

}  // namespace tessival
