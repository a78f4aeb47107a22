#pragma once

#include <memory>

#include "joblist/DestTypes.h"
#include "platform/media/FilterRegistry.h"

namespace tessival {

class Shell;

// The destination types a user can pick on this machine: the WAVE types are made from the audio
// compressors installed now. Both the properties dialog and `tessival-cli types` list these.
DestTypeList InstalledDestTypes(Shell& shell,
                                std::shared_ptr<const media::FilterRegistry> registry = media::SystemRegistry());

}  // namespace tessival
