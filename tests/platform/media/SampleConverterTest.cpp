#include "platform/media/ffmpeg/SampleConverter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <thread>

namespace tessival::media {
namespace {

constexpr int kRate = 48000;

// One second of a 16-bit stereo sine at 48 kHz.
std::vector<std::uint8_t> Sine(double frequency) {
    std::vector<std::uint8_t> bytes(kRate * 4);
    for (int i = 0; i < kRate; ++i) {
        const auto value = static_cast<std::int16_t>(std::lround(12000 * std::sin(2 * M_PI * frequency * i / kRate)));
        std::memcpy(&bytes[i * 4], &value, 2);
        std::memcpy(&bytes[i * 4 + 2], &value, 2);
    }
    return bytes;
}

std::vector<std::uint8_t> Resample(const std::vector<std::uint8_t>& pcm, int toRate, int toBits = 16) {
    SampleConverter converter;
    std::vector<std::uint8_t> out;
    const auto from = SampleConverter::PcmFormat(16, 2, kRate), to = SampleConverter::PcmFormat(toBits, 2, toRate);
    EXPECT_EQ(converter.Open(from, to), S_OK);
    const std::uint8_t* planes[] = {pcm.data()};
    EXPECT_EQ(converter.Convert(planes, static_cast<int>(pcm.size() / 4), out), S_OK);
    EXPECT_EQ(converter.Flush(out), S_OK);
    return out;
}

std::vector<std::uint8_t> ResampleOnAThreadOfItsOwn(const std::vector<std::uint8_t>& pcm, int toRate) {
    std::vector<std::uint8_t> out;
    std::thread([&] { out = Resample(pcm, toRate); }).join();
    return out;
}

TEST(SampleConverter, AResamplerKeptFromAnEarlierConversionConvertsAsANewOne) {
    const std::vector<std::uint8_t> tone = Sine(660);
    const std::vector<std::uint8_t> fresh = ResampleOnAThreadOfItsOwn(tone, 44100);
    ASSERT_EQ(fresh.size(), 44100u * 4);

    // The earlier conversion's audio must not reach the next one's start.
    Resample(Sine(440), 44100);
    EXPECT_TRUE(Resample(tone, 44100) == fresh);
    // Nor may a resampler kept for other formats serve.
    Resample(Sine(440), 44100);
    const std::vector<std::uint8_t> half = Resample(tone, 22050);
    EXPECT_EQ(half.size(), 22050u * 4);
    EXPECT_TRUE(half == ResampleOnAThreadOfItsOwn(tone, 22050));
    // Nor its dither: the noise starts over with each conversion.
    const std::vector<std::uint8_t> dithered = Resample(tone, 44100, 8);
    EXPECT_EQ(dithered.size(), 44100u * 2);
    EXPECT_TRUE(Resample(tone, 44100, 8) == dithered);
}

}  // namespace
}  // namespace tessival::media
