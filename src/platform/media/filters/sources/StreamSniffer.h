#pragma once

#include <cstdint>
#include <span>

#include "platform/media/Guid.h"

namespace tessival::media {

// The byte-stream subtype a file's first bytes show (MEDIASUBTYPE_WAVE, _Avi, _MPEG1System,
// ...), GUID_NULL when none is recognised. The extension plays no part.
Guid SniffStreamSubtype(std::span<const std::uint8_t> head);

}  // namespace tessival::media
