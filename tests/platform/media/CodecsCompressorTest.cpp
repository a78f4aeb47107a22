// The audio compressors: their listings, and real conversions with a sample of their formats.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <utility>

#include "platform/media/CodecsCompressorCheck.h"

namespace tessival::media::test {
namespace {

using tessival::test::TempDir;

const char* const kCompressors[] = {"MPEG Layer-3", "Windows Media Audio V2", "IMA ADPCM", "Microsoft ADPCM",
                                    "GSM 6.10",     "CCITT A-Law",            "CCITT u-Law"};

TEST(CodecsCompressorTest, CategoryListsTheCompressorsInTheirFixedOrder) {
    std::vector<std::string> names;
    for (const auto& entry : SystemRegistry()->Entries(CLSID_AudioCompressorCategory)) names.push_back(*entry.friendlyName);
    EXPECT_EQ(names, (std::vector<std::string>{"PCM", "MPEG Layer-3", "Windows Media Audio V2", "IMA ADPCM",
                                               "Microsoft ADPCM", "GSM 6.10", "CCITT A-Law", "CCITT u-Law"}));
}

TEST(CodecsCompressorTest, Mp3OffersEveryLegalRateAndBitRateInMonoAndStereo) {
    const auto all = CapabilitiesOf("MPEG Layer-3");
    std::set<std::pair<std::uint32_t, std::uint32_t>> seen[3];
    for (const auto& type : all) {
        const WAVEFORMATEX& w = *type.WaveFormat();
        EXPECT_EQ(w.wFormatTag, WAVE_FORMAT_MPEGLAYER3);
        EXPECT_EQ(w.wBitsPerSample, 0);
        EXPECT_EQ(w.nBlockAlign, 1);
        EXPECT_EQ(w.cbSize, 12);
        EXPECT_EQ(w.nAvgBytesPerSec % 125, 0u);
        ASSERT_TRUE(w.nChannels == 1 || w.nChannels == 2);
        seen[w.nChannels].insert({w.nSamplesPerSec, w.nAvgBytesPerSec / 125});
    }
    EXPECT_EQ(seen[1], seen[2]);
    const auto has = [&](std::uint32_t rate, std::uint32_t kbps) { return seen[2].count({rate, kbps}) == 1; };
    for (std::uint32_t rate : {32000u, 44100u, 48000u})
        for (std::uint32_t kbps : {32u, 40u, 48u, 56u, 64u, 80u, 96u, 112u, 128u, 160u, 192u, 224u, 256u, 320u})
            EXPECT_TRUE(has(rate, kbps)) << rate << " " << kbps;
    for (std::uint32_t rate : {16000u, 22050u, 24000u})
        for (std::uint32_t kbps : {8u, 16u, 24u, 32u, 40u, 48u, 56u, 64u, 80u, 96u, 112u, 128u, 144u, 160u})
            EXPECT_TRUE(has(rate, kbps)) << rate << " " << kbps;
    for (std::uint32_t rate : {8000u, 11025u, 12000u})
        for (std::uint32_t kbps : {8u, 16u, 24u, 32u, 40u, 48u, 56u, 64u}) EXPECT_TRUE(has(rate, kbps)) << rate << " " << kbps;
    EXPECT_EQ(all.size(), 2u * (3 * 14 + 3 * 14 + 3 * 8));
    EXPECT_FALSE(has(44100, 8));  // not a legal MPEG-1 rate
}

// The classic ACM values that lists saved by older versions still carry.
TEST(CodecsCompressorTest, BlockCodecsOfferTheClassicFormats) {
    const auto find = [](const std::string& name, std::uint32_t rate, std::uint16_t channels) -> WAVEFORMATEX {
        for (const auto& type : CapabilitiesOf(name))
            if (type.WaveFormat()->nSamplesPerSec == rate && type.WaveFormat()->nChannels == channels)
                return *type.WaveFormat();
        return {};
    };
    const WAVEFORMATEX ima = find("IMA ADPCM", 11025, 1), ms = find("Microsoft ADPCM", 22050, 2);
    const WAVEFORMATEX gsm = find("GSM 6.10", 8000, 1), alaw = find("CCITT A-Law", 44100, 2);
    EXPECT_EQ(ima.nAvgBytesPerSec, 5588u);
    EXPECT_EQ(ima.nBlockAlign, 256);
    EXPECT_EQ(ima.wBitsPerSample, 4);
    EXPECT_EQ(ms.nAvgBytesPerSec, 22311u);
    EXPECT_EQ(ms.nBlockAlign, 1024);
    EXPECT_EQ(ms.cbSize, 32);
    EXPECT_EQ(gsm.nAvgBytesPerSec, 1625u);
    EXPECT_EQ(gsm.nBlockAlign, 65);
    EXPECT_EQ(alaw.nAvgBytesPerSec, 88200u);
    EXPECT_EQ(alaw.nBlockAlign, 2);
    for (const char* name : {"IMA ADPCM", "Microsoft ADPCM", "CCITT A-Law", "CCITT u-Law"})
        EXPECT_EQ(CapabilitiesOf(name).size(), 8u) << name;
    EXPECT_EQ(CapabilitiesOf("GSM 6.10").size(), 4u);
}

TEST(CodecsCompressorTest, WindowsMediaOffersOnlyFormatsItEncodes) {
    const auto all = CapabilitiesOf("Windows Media Audio V2");
    ASSERT_GE(all.size(), 20u);
    bool cdQuality = false;
    for (const auto& type : all) {
        const WAVEFORMATEX& w = *type.WaveFormat();
        EXPECT_EQ(w.wFormatTag, WAVE_FORMAT_WMAUDIO2);
        EXPECT_GT(w.nBlockAlign, 0);
        EXPECT_GT(w.cbSize, 0);
        cdQuality |= w.nSamplesPerSec == 44100 && w.nChannels == 2 && w.nAvgBytesPerSec == 16000;
    }
    EXPECT_TRUE(cdQuality);
}

std::string FormatHex(const MediaType& type) {
    std::string hex;
    for (std::uint8_t byte : type.format) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", byte);
        hex += two;
    }
    return hex;
}

// Whole format blocks as saved lists and WAV headers carry them: the nCodecDelay of MP3, the block
// sizes and extra bytes of Windows Media Audio at 16000, 22050, 44100 and 48000 Hz.
TEST(CodecsCompressorTest, ListsKeepTheirExactFormatBlocks) {
    const auto mp3 = CapabilitiesOf("MPEG Layer-3");
    ASSERT_EQ(mp3.size(), 216u);
    EXPECT_EQ(FormatHex(mp3[0]), "55000100401f0000e8030000010000000c00010000000000480001005104");    // 1 ch 8000 Hz 8 kbps
    EXPECT_EQ(FormatHex(mp3[99]), "5500020022560000e02e0000010000000c00010000000000390101005104");   // 2 ch 22050 Hz 96 kbps
    EXPECT_EQ(FormatHex(mp3[215]), "5500020080bb0000409c0000010000000c00010000000000c00301005104");  // 2 ch 48000 Hz 320 kbps
    const auto wma = CapabilitiesOf("Windows Media Audio V2");
    ASSERT_EQ(wma.size(), 100u);
    EXPECT_EQ(FormatHex(wma[0]), "61010100803e0000b80b0000600010000a0000000000010000000000");   // 1 ch 16000 Hz 24 kbps
    EXPECT_EQ(FormatHex(wma[29]), "6101010022560000c05d00005a0410000a0000000000010000000000");  // 1 ch 22050 Hz 192 kbps
    EXPECT_EQ(FormatHex(wma[77]), "6101020044ac0000803e0000e70210000a0000000000010000000000");  // 2 ch 44100 Hz 128 kbps
    EXPECT_EQ(FormatHex(wma[99]), "6101020080bb0000c05d0000000410000a0000000000010000000000");  // 2 ch 48000 Hz 192 kbps
}

// First, middle and last format of each compressor, from a stereo 44100 Hz source.
TEST(CodecsCompressorTest, SampleOfEachCompressorsFormatsConvertsAndDecodesBack) {
    TempDir dir;
    const std::string source = dir.File("source.wav");
    ASSERT_TRUE(MakeTone(source, 44100, 2, "pcm_s16le", 1.0));
    for (const char* name : kCompressors) {
        const auto all = CapabilitiesOf(name);
        ASSERT_FALSE(all.empty()) << name;
        for (std::size_t index : {std::size_t{0}, all.size() / 2, all.size() - 1})
            CheckCapability(name, all[index], source, 1.0, dir);
    }
}

// Every format of every compressor; long, so only in the run labelled slow.
TEST(CodecsCompressorSweep, EveryCapabilityConvertsAndDecodesBack) {
    if (!std::getenv("TESSIVAL_SLOW_TESTS")) GTEST_SKIP() << "set TESSIVAL_SLOW_TESTS for the full sweep";
    TempDir dir;
    const std::string source = dir.File("source.wav");
    ASSERT_TRUE(MakeTone(source, 44100, 2, "pcm_s16le", 0.5));
    for (const char* name : kCompressors)
        for (const auto& capability : CapabilitiesOf(name)) CheckCapability(name, capability, source, 0.5, dir);
}

}  // namespace
}  // namespace tessival::media::test
