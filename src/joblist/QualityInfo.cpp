#include "joblist/QualityInfo.h"

namespace tessival {

bool IsSameQuality(const QualityInfo& a, const QualityInfo& b) {
    return a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec &&
           a.nAvgBytesPerSec == b.nAvgBytesPerSec && a.wBitsPerSample == b.wBitsPerSample;
}

}  // namespace tessival
