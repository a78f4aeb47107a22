#pragma once

#include <atomic>
#include <string>

#include "platform/media/HResult.h"
#include "platform/media/filters/analysis/LoudnessMeter.h"

namespace tessival::media {

// Decodes the first audio stream of a media file into the meter, as fast as it decodes. Undecodable
// pieces are skipped as a conversion skips them. Returns S_OK at the end of the stream, S_FALSE
// when `stop` was set meanwhile, a failure code when the file has no audio that decodes.
HRESULT MeasureFileLoudness(const std::string& path, LoudnessMeter& meter, const std::atomic<bool>* stop = nullptr);

}  // namespace tessival::media
