#pragma once

#include <memory>
#include <string>
#include <vector>

#include "joblist/QualityInfo.h"
#include "platform/media/FilterRegistry.h"

namespace tessival {

class Shell;

// The encoder a quality list is made for: the one a "WAV (name)" type names (EncoderNameOfType),
// or the encoder that serves a built-in or file type. Empty when none is
// installed.
std::string QualityEncoderName(Shell& shell, const std::string& destType,
                               std::shared_ptr<const media::FilterRegistry> registry = media::SystemRegistry());

class GraphToolkit;

// The encoder of that name added to the toolkit's graph: an audio compressor, else the encoder of
// a file type; null when neither is installed.
std::shared_ptr<media::IBaseFilter> AddQualityEncoder(GraphToolkit& toolkit, const std::string& encoderName);

// The formats an encoder offers, in its order; empty when it is missing or offers none.
std::vector<QualityInfo> ListEncoderQualities(Shell& shell, const std::string& encoderName,
                                              std::shared_ptr<const media::FilterRegistry> registry = media::SystemRegistry());

}  // namespace tessival
