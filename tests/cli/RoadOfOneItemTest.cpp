// Every source type converted to every destination type through `tessival-cli convert`, each output
// checked with ffprobe and against the source's audio.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "engine/QualityListing.h"
#include "joblist/ItemFactory.h"
#include "joblist/ListFile.h"
#include "joblist/TextField.h"
#include "platform/media/CodecsFixtures.h"
#include "platform/shell/ScriptedShell.h"
#include "support/RunProcess.h"
#include "support/TempDir.h"

namespace tessival {
namespace {

using media::test::DecodeFloat;
using media::test::Probe;

const char* const kDestTypes[] = {"WAV",
                                  "MP3",
                                  "WMA",
                                  "WAV (PCM)",
                                  "WAV (MPEG Layer-3)",
                                  "WAV (Windows Media Audio V2)",
                                  "WAV (IMA ADPCM)",
                                  "WAV (Microsoft ADPCM)",
                                  "WAV (GSM 6.10)",
                                  "WAV (CCITT A-Law)",
                                  "WAV (CCITT u-Law)"};

// A quality of the type's encoder: the first at 44100 Hz, else at 22050 Hz, else the first.
QualityInfo PickQuality(const std::string& destType) {
    ScriptedShell shell;
    const auto qualities = ListEncoderQualities(shell, QualityEncoderName(shell, destType));
    for (std::uint32_t rate : {44100u, 22050u}) {
        for (const QualityInfo& quality : qualities)
            if (quality.nSamplesPerSec == rate && quality.nChannels == 2) return quality;
    }
    return qualities.empty() ? QualityInfo{} : qualities.front();
}

// Best normalised correlation of two signals over lags up to maxLag samples.
double BestCorrelation(const std::vector<float>& a, const std::vector<float>& b, int maxLag) {
    double best = 0;
    for (int lag = -maxLag; lag <= maxLag; ++lag) {
        double ab = 0, aa = 0, bb = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const long j = static_cast<long>(i) + lag;
            if (j < 0 || j >= static_cast<long>(b.size())) continue;
            ab += a[i] * b[static_cast<std::size_t>(j)];
            aa += a[i] * a[i];
            bb += b[static_cast<std::size_t>(j)] * b[static_cast<std::size_t>(j)];
        }
        if (aa > 0 && bb > 0) best = std::max(best, ab / std::sqrt(aa * bb));
    }
    return best;
}

TEST(RoadOfOneItem, EverySourceTypeToEveryDestinationType) {
    test::TempDir dir;
    const std::string out = dir.File("out");
    std::filesystem::create_directory(out);
    ItemList items;
    std::vector<QualityInfo> chosen;
    std::size_t destIndex = 0;
    const std::size_t caseCount = std::size(media::test::kSourceCases);
    const std::size_t rounds = std::max(caseCount, std::size(kDestTypes));
    for (std::size_t i = 0; i < rounds; ++i) {
        const auto& source = media::test::kSourceCases[i % caseCount];
        const std::string path = dir.File(source.file);
        if (!std::filesystem::exists(path)) {
            ASSERT_TRUE(media::test::MakeSource(source, path)) << source.name;
        }
        const std::string destType = kDestTypes[destIndex++ % std::size(kDestTypes)];
        ConvertItem item = MakeSingleFileItem(path);
        WriteField(item.destPath, out);
        WriteField(item.destName, std::to_string(i) + ".wav");
        WriteField(item.destType, destType);
        item.quality = PickQuality(destType);
        ASSERT_NE(+item.quality.nChannels, 0) << destType;  // + copies the packed field
        chosen.push_back(item.quality);
        items.Append(item);
    }
    const std::string list = dir.File("road.tsl");
    ASSERT_EQ(WriteListFile(list, items), ListFileResult::Ok);

    const auto run = test::RunProcess(test::CliPath() + " convert " + test::ShellQuote(list) + " 2>&1");
    ASSERT_EQ(run.exitCode, 0) << run.output;

    for (std::size_t i = 0; i < items.Count(); ++i) {
        const auto& source = media::test::kSourceCases[i % caseCount];
        const std::string output = out + "/" + std::to_string(i) + ".wav";
        SCOPED_TRACE(std::string(source.name) + " -> " + ReadField(items.At(i)->destType));
        const auto probe = Probe(output);
        ASSERT_EQ(probe.count("error"), 0u) << probe.at("error");
        EXPECT_EQ(std::stoi(probe.at("sample_rate")), static_cast<int>(chosen[i].nSamplesPerSec));
        EXPECT_EQ(std::stoi(probe.at("channels")), chosen[i].nChannels);
        EXPECT_EQ(std::stoi(probe.at("codec_tag"), nullptr, 16), chosen[i].wFormatTag);

        const auto reference = DecodeFloat(dir.File(source.file), 8000, 1);
        const auto converted = DecodeFloat(output, 8000, 1);
        // 2.5 s, give or take one codec frame (at most 2048 samples at 44.1 kHz, ~372 at 8 kHz).
        EXPECT_NEAR(static_cast<double>(converted.size()), static_cast<double>(reference.size()), 400.0);
        EXPECT_GT(BestCorrelation(reference, converted, 200), 0.9);
    }
}

}  // namespace
}  // namespace tessival
