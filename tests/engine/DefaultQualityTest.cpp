#include <gtest/gtest.h>

#include "engine/InstalledDestTypes.h"
#include "engine/QualityListing.h"
#include "joblist/DefaultQualities.h"
#include "platform/shell/ScriptedShell.h"

namespace tessival {
namespace {

// A default that the encoder does not offer would refuse every `add` of its type.
TEST(DefaultQuality, EachTypesDefaultIsOneOfItsEncodersQualities) {
    ScriptedShell shell;
    const DestTypeList types = InstalledDestTypes(shell);
    std::vector<std::string> all = types.builtIn;
    all.insert(all.end(), types.compressors.begin(), types.compressors.end());
    all.insert(all.end(), types.files.begin(), types.files.end());
    int withDefault = 0;
    for (const std::string& type : all) {
        const auto preset = DefaultQualityText(type);
        if (!preset) continue;
        ++withDefault;
        bool offered = false;
        for (const QualityInfo& quality : ListEncoderQualities(shell, QualityEncoderName(shell, type))) {
            const auto cells = QualityCells(quality);
            offered = offered || cells[0] + "," + cells[1] + "," + cells[2] + "," + cells[3] == *preset;
        }
        EXPECT_TRUE(offered) << type << " does not offer " << *preset;
    }
    EXPECT_EQ(withDefault, 11);
    EXPECT_EQ(DefaultQualityText("WAV (GSM 6.10)"), std::nullopt);
    EXPECT_EQ(DefaultQualityText("FLAC"), "Source,5,Source,Source");
}

}  // namespace
}  // namespace tessival
