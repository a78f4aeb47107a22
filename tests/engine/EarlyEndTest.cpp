#include <gtest/gtest.h>

#include "engine/conversion/EarlyEnd.h"

namespace tessival {
namespace {

TEST(EarlyEnd, DamageThatCostMostOfTheSourceOrAnEmptyOutputEndsEarly) {
    constexpr media::REFERENCE_TIME kSecond = media::kUnitsPerSecond;
    struct Case {
        media::REFERENCE_TIME declared, made;
        std::int64_t skipped;
        bool early;
    };
    const Case cases[] = {
        {10 * kSecond, kSecond / 20, 9, true},    // a few frames of a damaged file
        {10 * kSecond, 3 * kSecond, 1, true},     // under a third after damage
        {10 * kSecond, 4 * kSecond, 1, false},    // over a third: a file cut short keeps its part
        {10 * kSecond, 5 * kSecond, 12, false},   // half cut off, the rest whole
        {10 * kSecond, kSecond / 20, 0, false},   // short but read without damage: a header that lied
        {0, kSecond, 3, false},                   // no declared length to fall short of
        {10 * kSecond, 0, 0, true},               // no audio is never a whole output
        {0, 0, 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EndedEarly(c.declared, c.made, c.skipped), c.early) << c.declared << " " << c.made << " " << c.skipped;
}

}  // namespace
}  // namespace tessival
