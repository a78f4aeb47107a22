#pragma once

#include <memory>
#include <string>

#include "platform/media/FilterRegistry.h"

namespace tessival {

class Shell;

// The friendly name of the installed filter that serves a type, by its first three letters: the
// AC3 decoder for "VOB", the encoder for "MP3", "WAV", "WMA", "ASF" and the file types. False (name untouched)
// when none is installed or the type has none. Uses a scratch graph of its own.
bool FindTypeFilter(Shell& shell, const std::string& type, std::string& name,
                    std::shared_ptr<const media::FilterRegistry> registry = media::SystemRegistry());

}  // namespace tessival
