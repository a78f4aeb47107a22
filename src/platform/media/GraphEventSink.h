#pragma once

#include <mutex>

#include "platform/media/IBaseFilter.h"

namespace tessival::media {

// What filters hold to report events to their graph. It does not own the graph: a streaming
// thread must never end up holding the last reference to it (the graph joins that thread when
// it goes). The graph detaches it first thing when it is destroyed; later events are dropped.
class GraphEventSink : public IMediaEventSink {
public:
    explicit GraphEventSink(IMediaEventSink* target) : target_(target) {}
    HRESULT Notify(long eventCode, std::intptr_t param1, std::intptr_t param2) override;
    void Detach();

private:
    std::mutex mutex_;
    IMediaEventSink* target_;
};

}  // namespace tessival::media
