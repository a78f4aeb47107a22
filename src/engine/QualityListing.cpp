#include "engine/QualityListing.h"

#include "engine/FindTypeFilter.h"
#include "engine/GraphToolkit.h"
#include "joblist/DestTypes.h"
#include "platform/media/filters/encoders/FileEncoders.h"

namespace tessival {

std::string QualityEncoderName(Shell& shell, const std::string& destType,
                               std::shared_ptr<const media::FilterRegistry> registry) {
    if (std::optional<std::string> named = EncoderNameOfType(destType)) return *named;
    std::string name;
    return FindTypeFilter(shell, destType, name, std::move(registry)) ? name : std::string();
}

std::shared_ptr<media::IBaseFilter> AddQualityEncoder(GraphToolkit& toolkit, const std::string& encoderName) {
    if (auto compressor = toolkit.AddAudioCompressor(encoderName)) return compressor;
    return toolkit.FindFilterInCategory(media::CLSID_FileEncoderCategory, encoderName.c_str(), -1);
}

std::vector<QualityInfo> ListEncoderQualities(Shell& shell, const std::string& encoderName,
                                              std::shared_ptr<const media::FilterRegistry> registry) {
    GraphToolkit toolkit(shell, std::move(registry));
    auto encoder = encoderName.empty() ? nullptr : AddQualityEncoder(toolkit, encoderName);
    return encoder ? toolkit.QualitiesOf(encoder) : std::vector<QualityInfo>{};
}

}  // namespace tessival
