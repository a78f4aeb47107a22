#include <gtest/gtest.h>

#include <algorithm>

#include "platform/media/FilterRegistry.h"
#include "platform/media/QueryInterface.h"
#include "platform/media/filters/sources/CdTrackSource.h"
#include "support/DiscImage.h"
#include "support/TempDir.h"

namespace tessival::media {
namespace {

std::vector<std::shared_ptr<IPin>> Pins(IBaseFilter& filter) {
    std::shared_ptr<IEnumPins> pins;
    filter.EnumPins(pins);
    std::vector<std::shared_ptr<IPin>> all;
    std::shared_ptr<IPin> pin;
    while (pins->Next(pin) == S_OK) all.push_back(pin);
    return all;
}

TEST(CdTrackSource, ATrackOffersCdAudioWithTheTracksDuration) {
    test::TempDir dir;
    const tessival::test::DiscImageFile image(dir.Path(), {412, 263});
    auto source = std::make_shared<CdTrackSource>();
    ASSERT_EQ(source->Load(image.Cue() + "/Track03.cda", nullptr), S_OK);
    const auto pins = Pins(*source);
    ASSERT_EQ(pins.size(), 1u);
    std::vector<MediaType> types;
    const auto pin = std::dynamic_pointer_cast<BasePin>(pins[0]);
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(pin->Name(), "Output");
    source->GetMediaTypes(*pin, types);
    ASSERT_EQ(types.size(), 1u);
    const WAVEFORMATEX* format = types[0].WaveFormat();
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(format->nChannels, 2);
    EXPECT_EQ(format->nSamplesPerSec, 44100u);
    EXPECT_EQ(format->wBitsPerSample, 16);
    REFERENCE_TIME duration = 0, position = -1;
    ASSERT_EQ(source->GetDuration(duration), S_OK);
    EXPECT_EQ(duration, 35066666);  // 263 sectors of 588 frames
    ASSERT_EQ(source->GetCurrentPosition(position), S_OK);
    EXPECT_EQ(position, 0);
    EXPECT_FALSE(source->Problem());
}

TEST(CdTrackSource, ADataTrackOrAStrangePathLoadsNothing) {
    test::TempDir dir;
    const tessival::test::DiscImageFile image(dir.Path(), {80});
    auto source = std::make_shared<CdTrackSource>();
    EXPECT_TRUE(FAILED(source->Load(image.Cue() + "/Track01.cda", nullptr)));
    EXPECT_TRUE(Pins(*source).empty());
    EXPECT_EQ(source->Problem().kind, DiscProblem::Kind::NoSuchTrack);
    EXPECT_EQ(source->Problem().track, 1);
    REFERENCE_TIME duration = 0;
    EXPECT_EQ(source->GetDuration(duration), E_UNEXPECTED);

    auto other = std::make_shared<CdTrackSource>();
    EXPECT_TRUE(FAILED(other->Load(image.Cue(), nullptr)));
    EXPECT_TRUE(Pins(*other).empty());
}

TEST(CdTrackSource, TheSystemRegistryOffersItByName) {
    const auto entries = SystemRegistry()->Entries(CLSID_LegacyAmFilterCategory);
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [](const FilterEntry& entry) { return entry.friendlyName == "WMP CD Filter"; });
    ASSERT_NE(found, entries.end());
    EXPECT_NE(QueryInterface<IFileSourceFilter>(found->factory()), nullptr);
}

}  // namespace
}  // namespace tessival::media
