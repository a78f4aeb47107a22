#include "joblist/QualityInfo.h"

#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {

bool IsSameQuality(const QualityInfo& a, const QualityInfo& b) {
    return a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec &&
           a.nAvgBytesPerSec == b.nAvgBytesPerSec && a.wBitsPerSample == b.wBitsPerSample;
}

std::array<std::string, 4> QualityCells(const QualityInfo& q) {
    const bool followsSource = HasQuality(q) && q.nSamplesPerSec == 0;
    const std::string source = followsSource ? LoadString(IDS_QUALITY_AS_SOURCE) : std::string();
    return {followsSource && q.nChannels == kQualitySourceChannels ? source : std::to_string(q.nChannels),
            std::to_string(QualityKbps(q)),
            followsSource && q.wBitsPerSample == 0 ? source : std::to_string(q.wBitsPerSample),
            followsSource ? source : std::to_string(q.nSamplesPerSec)};
}

std::string QualityArgument(const QualityInfo& q) {
    const auto cells = QualityCells(q);
    return cells[0] + "," + cells[1] + "," + cells[2] + "," + cells[3];
}

}  // namespace tessival
