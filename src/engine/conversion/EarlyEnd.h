#pragma once

#include <cstdint>

#include "platform/media/MediaSample.h"

namespace tessival {

// Whether an output that reached the end of its source ended early: it holds no audio at all,
// or damage was skipped on the way and it kept less than a third of the length its source
// declared. Such a source is damaged, not short; a short file read without damage is whole.
bool EndedEarly(media::REFERENCE_TIME declared, media::REFERENCE_TIME made, std::int64_t skipped);

}  // namespace tessival
