#include "joblist/QualityInfo.h"

namespace tessival {

bool IsSameQuality(const QualityInfo& a, const QualityInfo& b) {
    return a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec &&
           a.nAvgBytesPerSec == b.nAvgBytesPerSec && a.wBitsPerSample == b.wBitsPerSample;
}

std::array<std::string, 4> QualityCells(const QualityInfo& q) {
    return {std::to_string(q.nChannels), std::to_string(QualityKbps(q)), std::to_string(q.wBitsPerSample),
            std::to_string(q.nSamplesPerSec)};
}

}  // namespace tessival
