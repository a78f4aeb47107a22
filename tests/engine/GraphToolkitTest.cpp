#include <gtest/gtest.h>

#include "engine/GraphToolkit.h"
#include "platform/media/QueryInterface.h"
#include "platform/shell/ScriptedShell.h"
#include "EngineFakes.h"

namespace tessival {
namespace {

using namespace media;
using test::ConfigurablePin;
using test::Entry;
using test::Format;
using test::MixerPin;
using test::PinFilter;
using test::PlainFilter;

class GraphToolkitTest : public ::testing::Test {
protected:
    GraphToolkitTest() {
        registry_->Register(Entry(CLSID_LegacyAmFilterCategory, "MPEG Layer-3 Decoder", PlainFilter()));
        registry_->Register(Entry(CLSID_LegacyAmFilterCategory, std::nullopt, PlainFilter()));  // unreadable name
        registry_->Register(Entry(CLSID_LegacyAmFilterCategory, "MPEG Layer-3 Decoder v2", PlainFilter()));
        registry_->Register(Entry(CLSID_LegacyAmFilterCategory, "ACM Wrapper", PlainFilter()));
    }
    int FiltersInGraph() {
        std::shared_ptr<IEnumFilters> filters;
        toolkit_.Graph().EnumFilters(filters);
        return static_cast<int>(filters->All().size());
    }

    std::shared_ptr<FilterRegistry> registry_ = std::make_shared<FilterRegistry>();
    ScriptedShell shell_;
    GraphToolkit toolkit_{shell_, registry_};
};

TEST_F(GraphToolkitTest, FilterIsFoundByTheExactStartOfItsName) {
    auto filter = toolkit_.AddFilterByName("MPEG Layer-3 Decoder");
    ASSERT_NE(filter, nullptr);
    FILTER_INFO info;
    filter->QueryFilterInfo(info);
    EXPECT_EQ(info.achName, "MPEG Layer-3 Decoder");  // the first of the two that match
    EXPECT_EQ(toolkit_.GetDeviceName(0), "MPEG Layer-3 Decoder");
    EXPECT_EQ(toolkit_.GetDeviceName(1), "");

    EXPECT_EQ(toolkit_.AddFilterByName("mpeg layer-3 decoder"), nullptr);
    EXPECT_EQ(toolkit_.AddFilterByName("Layer-3 Decoder"), nullptr);
    // A failed search visited every readable entry.
    EXPECT_EQ(toolkit_.GetDeviceName(2), "ACM Wrapper");
    EXPECT_EQ(FiltersInGraph(), 1);
}

TEST_F(GraphToolkitTest, DeviceAndPinNamesOutsideTheListAreEmpty) {
    EXPECT_EQ(toolkit_.ListCategory(CLSID_LegacyAmFilterCategory), 3);
    EXPECT_EQ(toolkit_.GetDeviceName(2), "ACM Wrapper");
    EXPECT_EQ(toolkit_.GetDeviceName(3), "");
    EXPECT_EQ(toolkit_.GetDeviceName(-1), "");
    EXPECT_EQ(toolkit_.GetPinName(0), "");
    EXPECT_EQ(toolkit_.ListCategory(CLSID_AudioCompressorCategory), 0);
}

TEST_F(GraphToolkitTest, AudioInputDevicesByPosition) {
    EXPECT_EQ(toolkit_.ListAudioInputDevices(), 0);
    EXPECT_EQ(toolkit_.GetDeviceName(0), "");
    registry_->Register(Entry(CLSID_AudioInputDeviceCategory, "Line In", PlainFilter()));
    registry_->Register(Entry(CLSID_AudioInputDeviceCategory, "USB Mic", PlainFilter()));
    EXPECT_EQ(toolkit_.ListAudioInputDevices(), 2);
    auto second = toolkit_.AddAudioInputDevice(1);
    ASSERT_NE(second, nullptr);
    FILTER_INFO info;
    second->QueryFilterInfo(info);
    EXPECT_EQ(info.achName, "USB Mic");
    EXPECT_EQ(toolkit_.AddAudioInputDevice(2), nullptr);
    EXPECT_EQ(FiltersInGraph(), 1);
}

TEST_F(GraphToolkitTest, PinsAreCountedAndPickedByDirectionInOrder) {
    auto filter = std::make_shared<PinFilter>();
    filter->Add<MixerPin>("Line 1");
    filter->Add<OutputPin>("Capture");
    filter->Add<MixerPin>("Line 2");
    EXPECT_EQ(toolkit_.ListPins(filter, PINDIR_INPUT), 2);
    EXPECT_EQ(toolkit_.PinNamesOf(filter, PINDIR_INPUT), (std::vector<std::string>{"Line 1", "Line 2"}));
    EXPECT_EQ(toolkit_.ListPins(filter, PINDIR_OUTPUT), 1);
    EXPECT_EQ(toolkit_.ListPins(nullptr, PINDIR_OUTPUT), 0);
    PIN_INFO info;
    toolkit_.GetPin(filter, PINDIR_INPUT, 1)->QueryPinInfo(info);
    EXPECT_EQ(info.achName, "Line 2");
    EXPECT_EQ(toolkit_.GetPin(filter, PINDIR_OUTPUT, 1), nullptr);
}

TEST_F(GraphToolkitTest, SelectInputLineEnablesOneAndLeavesLaterLinesAlone) {
    auto filter = std::make_shared<PinFilter>();
    std::vector<MixerPin*> lines;
    for (int i = 0; i < 4; ++i) lines.push_back(&filter->Add<MixerPin>("Line " + std::to_string(i)));
    lines[1]->enabled = false;
    toolkit_.SelectInputLine(filter, 3, 2);
    EXPECT_FALSE(lines[0]->enabled);
    EXPECT_FALSE(lines[1]->enabled);
    EXPECT_TRUE(lines[2]->enabled);
    EXPECT_EQ(lines[3]->calls, 0);
}

TEST_F(GraphToolkitTest, QualitiesAreListedFromBothOutputPinsInOrder) {
    auto encoder = std::make_shared<PinFilter>();
    encoder->Add<InputPin>("In");
    encoder->Add<ConfigurablePin>("Out", std::vector<WAVEFORMATEX>{Format(0x55, 2, 44100, 16000, 1, 0),
                                                                   Format(0x55, 1, 22050, 4000, 1, 0)});
    encoder->Add<ConfigurablePin>("Out2", std::vector<WAVEFORMATEX>{Format(1, 2, 8000, 32000, 4, 16)});
    ASSERT_EQ(toolkit_.ListQualities(encoder), 3);
    EXPECT_EQ(toolkit_.GetQuality(0).nAvgBytesPerSec, 16000u);
    EXPECT_EQ(toolkit_.GetQuality(2).wBitsPerSample, 16);
    const QualityInfo past = toolkit_.GetQuality(3);
    EXPECT_EQ(past.nChannels, 0);
    EXPECT_EQ(past.nSamplesPerSec, 0u);
    EXPECT_TRUE(shell_.messages.empty());
}

TEST_F(GraphToolkitTest, OutputWithoutStreamConfigIsReportedOnceWhenListing) {
    auto encoder = std::make_shared<PinFilter>();
    encoder->Add<OutputPin>("Out");
    EXPECT_EQ(toolkit_.ListQualities(encoder), 0);
    ASSERT_EQ(shell_.messages.size(), 1u);
    EXPECT_EQ(shell_.messages[0].text, "Fail to Create IID_IAMStreamConfig");
    // Applying is silent.
    EXPECT_FALSE(toolkit_.ApplyQuality(encoder, QualityInfo{1, 2, 44100, 16000, 1, 0, 0}));
    EXPECT_EQ(shell_.messages.size(), 1u);
    // No output pin at all: nothing listed, nothing said.
    EXPECT_EQ(toolkit_.ListQualities(std::make_shared<PinFilter>()), 0);
    EXPECT_EQ(shell_.messages.size(), 1u);
}

TEST_F(GraphToolkitTest, ApplyQualitySetsTheFirstEqualFormatIgnoringTagAndBlockAlign) {
    auto encoder = std::make_shared<PinFilter>();
    auto& pin = encoder->Add<ConfigurablePin>(
        "Out", std::vector<WAVEFORMATEX>{Format(0x55, 2, 44100, 16000, 1, 0), Format(0x66, 2, 44100, 16000, 9, 0)});
    const QualityInfo second{0x66, 2, 44100, 16000, 9, 0, 0};
    ASSERT_TRUE(toolkit_.ApplyQuality(encoder, second));
    ASSERT_EQ(pin.set.size(), 1u);
    EXPECT_EQ(pin.set[0].wFormatTag, 0x55);
    // One byte per second off is another quality.
    EXPECT_FALSE(toolkit_.ApplyQuality(encoder, QualityInfo{0x55, 2, 44100, 16001, 1, 0, 0}));
    EXPECT_EQ(pin.set.size(), 1u);
}

TEST_F(GraphToolkitTest, TheGraphLivesAsLongAsItsToolkit) {
    std::weak_ptr<IMediaPosition> graph;
    std::weak_ptr<IBaseFilter> filter;
    {
        GraphToolkit toolkit(shell_, registry_);
        graph = toolkit.SharedPosition();
        filter = toolkit.AddFilterByName("ACM Wrapper");
        EXPECT_FALSE(filter.expired());
    }
    EXPECT_TRUE(graph.expired());
    EXPECT_TRUE(filter.expired());
}

}  // namespace
}  // namespace tessival
