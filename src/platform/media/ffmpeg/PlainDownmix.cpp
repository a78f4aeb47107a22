#include "platform/media/ffmpeg/PlainDownmix.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace tessival::media {
namespace {

enum class Side { Left, Right, Both };

// WAVE's speaker positions in channel order; the ones past them have no side.
Side SideOf(int channel) {
    static constexpr Side kSides[] = {
        Side::Left,  Side::Right, Side::Both,  Side::Both,  // front left, right, centre, LFE
        Side::Left,  Side::Right, Side::Left,  Side::Right,  // back left, right, front left/right of centre
        Side::Both,  Side::Left,  Side::Right, Side::Both,   // back centre, side left, right, top centre
        Side::Left,  Side::Both,  Side::Right,               // top front left, centre, right
        Side::Left,  Side::Both,  Side::Right,               // top back left, centre, right
    };
    return channel < static_cast<int>(std::size(kSides)) ? kSides[channel] : Side::Both;
}

}  // namespace

std::vector<double> PlainDownmix(int inChannels, int outChannels) {
    if ((outChannels != 1 && outChannels != 2) || inChannels <= outChannels) return {};
    std::vector<double> matrix(static_cast<std::size_t>(inChannels * outChannels), 0.0);
    const auto at = [&](int out, int in) -> double& { return matrix[static_cast<std::size_t>(out * inChannels + in)]; };
    for (int in = 0; in < inChannels; ++in) {
        if (outChannels == 1) {
            at(0, in) = 1.0;
            continue;
        }
        const Side side = SideOf(in);
        if (side == Side::Both) {
            at(0, in) = at(1, in) = std::sqrt(0.5);
        } else {
            at(side == Side::Left ? 0 : 1, in) = 1.0;
        }
    }
    double loudest = 0;
    for (int out = 0; out < outChannels; ++out)
        loudest = std::max(loudest, std::accumulate(&at(out, 0), &at(out, 0) + inChannels, 0.0));
    for (double& coefficient : matrix) coefficient /= loudest;
    return matrix;
}

}  // namespace tessival::media
