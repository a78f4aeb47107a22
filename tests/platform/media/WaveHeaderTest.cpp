#include "platform/media/filters/sinks/WaveHeader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace tessival::media {
namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
std::uint64_t U64(const std::vector<std::uint8_t>& b, std::size_t at) {
    std::uint64_t v;
    std::memcpy(&v, b.data() + at, 8);
    return v;
}
std::string Tag(const std::vector<std::uint8_t>& b, std::size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); }

TEST(WaveHeaderTest, PcmHeaderHasNoFactAndCountsThePadByte) {
    const WaveHeader header(MediaType::Audio(MakePcmFormat(22050, 1, 8)));
    EXPECT_FALSE(header.HasFact());
    const auto bytes = header.Build(1001, 1001);
    ASSERT_EQ(bytes.size(), header.Size());
    EXPECT_EQ(Tag(bytes, 0), "RIFF");
    EXPECT_EQ(U32(bytes, 4), header.Size() - 8 + 1001 + 1);
    EXPECT_EQ(Tag(bytes, 12), "JUNK");
    EXPECT_EQ(Tag(bytes, 48), "fmt ");
    EXPECT_EQ(U32(bytes, 52), 18u);
    EXPECT_EQ(Tag(bytes, bytes.size() - 8), "data");
    EXPECT_EQ(U32(bytes, bytes.size() - 4), 1001u);
}

TEST(WaveHeaderTest, CompressedFormatsGetFactAndAPaddedFmtChunk) {
    WAVEFORMATEX gsm{};
    gsm.wFormatTag = WAVE_FORMAT_GSM610;
    gsm.nChannels = 1;
    gsm.nSamplesPerSec = 8000;
    gsm.nAvgBytesPerSec = 1625;
    gsm.nBlockAlign = 65;
    const std::uint8_t extra[] = {0x40, 0x01, 0x7};  // odd, so the fmt chunk needs a pad byte
    const WaveHeader header(MediaType::Audio(gsm, extra));
    ASSERT_TRUE(header.HasFact());
    const auto bytes = header.Build(650, 3200);
    EXPECT_EQ(U32(bytes, 52), 21u);
    EXPECT_EQ(bytes[56 + 21], 0);
    EXPECT_EQ(Tag(bytes, 56 + 22), "fact");
    EXPECT_EQ(U32(bytes, 56 + 22 + 8), 3200u);
    EXPECT_EQ(bytes.size() % 2, 0u);
}

TEST(WaveHeaderTest, PastFourGigabytesTheFileBecomesRf64WithTheSizesInDs64) {
    const WaveHeader header(MediaType::Audio(MakePcmFormat(48000, 2, 16)));
    const std::uint64_t data = 5'000'000'000ull;
    const auto small = header.Build(1000, 250);
    const auto big = header.Build(data, data / 4);
    ASSERT_EQ(big.size(), small.size()) << "the header must not move the data";
    EXPECT_EQ(Tag(big, 0), "RF64");
    EXPECT_EQ(U32(big, 4), 0xFFFFFFFFu);
    EXPECT_EQ(Tag(big, 12), "ds64");
    EXPECT_EQ(U64(big, 20), header.Size() - 8 + data);
    EXPECT_EQ(U64(big, 28), data);
    EXPECT_EQ(U64(big, 36), data / 4);
    EXPECT_EQ(U32(big, big.size() - 4), 0xFFFFFFFFu);
    // Just below the limit it stays RIFF.
    const std::uint64_t largest = 0xFFFFFFFEull - (header.Size() - 8);  // even, so no pad byte
    EXPECT_EQ(Tag(header.Build(largest, 0), 0), "RIFF");
    EXPECT_EQ(Tag(header.Build(largest + 2, 0), 0), "RF64");
}

}  // namespace
}  // namespace tessival::media
