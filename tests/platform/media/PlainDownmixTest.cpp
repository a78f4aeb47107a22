#include "platform/media/ffmpeg/PlainDownmix.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/media/ffmpeg/SampleConverter.h"

namespace tessival::media {
namespace {

TEST(PlainDownmix, EveryChannelReachesTheOutputOnItsSideAndNothingClips) {
    constexpr double kSide = 1 / 6.828427, kCentre = 0.707107 / 6.828427;  // 12 channels: four a side, four centred
    struct Case {
        int in, out;
        std::vector<double> expected;  // by output row; empty: no mix of its own
    };
    const Case cases[] = {
        {12, 2, {kSide, 0, kCentre, kCentre, kSide, 0, kSide, 0, kCentre, kSide, 0, kCentre,  //
                 0, kSide, kCentre, kCentre, 0, kSide, 0, kSide, kCentre, 0, kSide, kCentre}},
        {12, 1, std::vector<double>(12, 1.0 / 12)},
        {12, 3, {}},
        {2, 2, {}},
        {1, 2, {}},
    };
    for (const Case& c : cases) {
        const std::vector<double> matrix = PlainDownmix(c.in, c.out);
        ASSERT_EQ(matrix.size(), c.expected.size()) << c.in << " to " << c.out;
        for (std::size_t i = 0; i < matrix.size(); ++i)
            EXPECT_NEAR(matrix[i], c.expected[i], 1e-6) << c.in << " to " << c.out << ", " << i;
    }
    // Past WAVE's eighteen named speakers a channel goes to both sides: six a side and eight on both.
    const std::vector<double> twenty = PlainDownmix(20, 2);
    ASSERT_EQ(twenty.size(), 40u);
    EXPECT_NEAR(twenty[19], 0.707107 / 11.656854, 1e-6);
    EXPECT_NEAR(twenty[20 + 19], 0.707107 / 11.656854, 1e-6);
}

// Twelve channels have no standard layout: the converter mixes them down with the matrix above.
TEST(PlainDownmix, TwelveChannelsConvertToStereoAndMonoWithTheLastChannelKept) {
    std::vector<std::uint8_t> frames(100 * 12 * 2, 0);
    for (int frame = 0; frame < 100; ++frame) {
        const std::int16_t value = 12000;
        std::memcpy(&frames[(frame * 12 + 11) * 2], &value, 2);  // only the top centre channel sounds
    }
    for (const auto& [channels, expected] : {std::pair{2, 1243}, std::pair{1, 1000}}) {
        SampleConverter converter;
        const auto from = SampleConverter::PcmFormat(16, 12, 44100), to = SampleConverter::PcmFormat(16, channels, 44100);
        ASSERT_EQ(converter.Open(from, to), S_OK);
        std::vector<std::uint8_t> out;
        const std::uint8_t* planes[] = {frames.data()};
        ASSERT_EQ(converter.Convert(planes, 100, out), S_OK);
        ASSERT_EQ(converter.Flush(out), S_OK);
        ASSERT_EQ(out.size(), 100u * channels * 2);
        for (int channel = 0; channel < channels; ++channel) {
            std::int16_t sample;
            std::memcpy(&sample, &out[(50 * channels + channel) * 2], 2);
            EXPECT_NEAR(sample, expected, 2) << channels << " channels, channel " << channel;
        }
    }
}

}  // namespace
}  // namespace tessival::media
