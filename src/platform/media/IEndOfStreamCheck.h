#pragma once

#include <functional>

#include "platform/media/HResult.h"
#include "platform/media/MediaSample.h"

namespace tessival::media {

// Encoders that ask, as their input ends, whether what came in makes a whole output. The check
// gets how much audio arrived; a failure fails the stream instead of ending it, so the sink below
// discards its file rather than committing it. Set while the graph is stopped; it runs on the
// thread that ends the stream.
class IEndOfStreamCheck {
public:
    using Check = std::function<HRESULT(REFERENCE_TIME received)>;
    virtual ~IEndOfStreamCheck() = default;
    virtual void SetEndCheck(Check check) = 0;
};

}  // namespace tessival::media
