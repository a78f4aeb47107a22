#pragma once

#include <vector>

namespace tessival::media {

// The mix of a source whose channel count has no standard layout (9 to 15 channels, say) down to
// mono or stereo, which libswresample cannot work out on its own. Channels are read in WAVE's
// speaker order (front left, front right, centre, LFE, back left, back right, ...); each one
// reaches the output, left ones on the left, right ones on the right, the others on both at half
// their power, and the whole is scaled so that no output can clip. Coefficients by output row,
// one per input channel; empty when outChannels is neither 1 nor 2 or inChannels is not more.
std::vector<double> PlainDownmix(int inChannels, int outChannels);

}  // namespace tessival::media
