#include "platform/media/GraphEventSink.h"

namespace tessival::media {

HRESULT GraphEventSink::Notify(long eventCode, std::intptr_t param1, std::intptr_t param2) {
    std::lock_guard lock(mutex_);
    return target_ ? target_->Notify(eventCode, param1, param2) : S_FALSE;
}

void GraphEventSink::Detach() {
    std::lock_guard lock(mutex_);
    target_ = nullptr;
}

}  // namespace tessival::media
