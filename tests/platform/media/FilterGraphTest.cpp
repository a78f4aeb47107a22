#include "platform/media/FilterGraph.h"

#include <gtest/gtest.h>

#include <future>

#include "platform/media/DeviceEnumerator.h"
#include "platform/media/QueryInterface.h"
#include "platform/media/FakeFilters.h"

namespace tessival::media {
namespace {

using namespace std::chrono_literals;
using test::FakePassThrough;
using test::FakeSink;
using test::FakeSource;

std::shared_ptr<IPin> Pin(const std::shared_ptr<IBaseFilter>& filter, PIN_DIRECTION direction, std::size_t i = 0) {
    auto pins = PinsOf(*filter, direction);
    return i < pins.size() ? pins[i] : nullptr;
}

std::vector<std::string> FilterNames(FilterGraph& graph) {
    std::shared_ptr<IEnumFilters> filters;
    graph.EnumFilters(filters);
    std::vector<std::string> names;
    std::shared_ptr<IBaseFilter> filter;
    while (filters->Next(filter) == S_OK) {
        FILTER_INFO info;
        filter->QueryFilterInfo(info);
        names.push_back(info.achName);
    }
    return names;
}

std::shared_ptr<FilterRegistry> EmptyRegistry() { return std::make_shared<FilterRegistry>(); }

TEST(FilterGraphTest, MembershipNamesAndEnumerationOrder) {
    auto graph = CreateFilterGraph(EmptyRegistry());
    EXPECT_EQ(graph->AddFilter(std::make_shared<FakeSink>(), "Sink"), S_OK);
    EXPECT_EQ(graph->AddFilter(std::make_shared<FakePassThrough>(), "Middle"), S_OK);
    EXPECT_EQ(graph->AddFilter(std::make_shared<FakeSink>(), "Sink"), VFW_S_DUPLICATE_NAME);
    EXPECT_EQ(FilterNames(*graph), (std::vector<std::string>{"Sink 0001", "Middle", "Sink"}));
    EXPECT_EQ(graph->AddFilter(nullptr, "x"), E_POINTER);

    std::shared_ptr<IBaseFilter> found;
    ASSERT_EQ(graph->FindFilterByName("Middle", found), S_OK);
    FILTER_INFO info;
    found->QueryFilterInfo(info);
    EXPECT_EQ(info.pGraph.get(), static_cast<IFilterGraph*>(graph.get()));
    EXPECT_EQ(graph->RemoveFilter(found), S_OK);
    found->QueryFilterInfo(info);
    EXPECT_EQ(info.pGraph, nullptr);
    EXPECT_EQ(FilterNames(*graph), (std::vector<std::string>{"Sink 0001", "Sink"}));
}

TEST(FilterGraphTest, ConnectDirectJoinsExactlyTheTwoPinsOrRefuses) {
    auto graph = CreateFilterGraph(EmptyRegistry());
    auto source = std::make_shared<FakeSource>(1);
    auto videoSink = std::make_shared<FakeSink>(MediaTypePattern(MEDIATYPE_Video));
    auto audioSink = std::make_shared<FakeSink>();
    graph->AddFilter(source, "Source");
    graph->AddFilter(videoSink, "Video");
    auto out = Pin(source, PINDIR_OUTPUT);
    EXPECT_EQ(graph->ConnectDirect(out, Pin(videoSink, PINDIR_INPUT), nullptr), VFW_E_NO_ACCEPTABLE_TYPES);
    EXPECT_EQ(graph->ConnectDirect(out, Pin(audioSink, PINDIR_INPUT), nullptr), VFW_E_NOT_IN_GRAPH);
    graph->AddFilter(audioSink, "Audio");
    EXPECT_EQ(graph->ConnectDirect(Pin(audioSink, PINDIR_INPUT), out, nullptr), VFW_E_INVALID_DIRECTION);

    const MediaType video = MediaTypePattern(MEDIATYPE_Video, GUID_NULL);
    EXPECT_EQ(graph->ConnectDirect(out, Pin(audioSink, PINDIR_INPUT), &video), VFW_E_TYPE_NOT_ACCEPTED);
    ASSERT_EQ(graph->ConnectDirect(out, Pin(audioSink, PINDIR_INPUT), nullptr), S_OK);
    EXPECT_EQ(graph->ConnectDirect(out, Pin(audioSink, PINDIR_INPUT), nullptr), VFW_E_ALREADY_CONNECTED);

    std::shared_ptr<IPin> peer;
    ASSERT_EQ(out->ConnectedTo(peer), S_OK);
    EXPECT_EQ(peer, Pin(audioSink, PINDIR_INPUT));
    MediaType type;
    ASSERT_EQ(peer->ConnectionMediaType(type), S_OK);
    ASSERT_NE(type.WaveFormat(), nullptr);
    EXPECT_EQ(type.WaveFormat()->nSamplesPerSec, 8000u);
    PIN_INFO info;
    peer->QueryPinInfo(info);
    EXPECT_EQ(info.pFilter, audioSink);
    EXPECT_EQ(info.achName, "In");
}

TEST(FilterGraphTest, RenderPrefersFiltersInTheGraphThenRegisteredByMerit) {
    auto registry = EmptyRegistry();
    int madeLow = 0, madeHigh = 0;
    registry->Register(test::FakeEntry("Low", MERIT_NORMAL, {MediaTypePattern(MEDIATYPE_Audio)}, [&] {
        ++madeLow;
        return std::make_shared<FakeSink>();
    }));
    registry->Register(test::FakeEntry("High", MERIT_PREFERRED, {MediaTypePattern(MEDIATYPE_Audio)}, [&] {
        ++madeHigh;
        return std::make_shared<FakeSink>();
    }));
    registry->Register(test::FakeEntry("Unused", MERIT_DO_NOT_USE, {MediaTypePattern(MEDIATYPE_Audio)},
                                       [] { return std::make_shared<FakeSink>(); }));

    auto graph = CreateFilterGraph(registry);
    auto middle = std::make_shared<FakePassThrough>();
    auto sink = std::make_shared<FakeSink>();
    auto source = std::make_shared<FakeSource>(1);
    graph->AddFilter(middle, "Middle");
    graph->AddFilter(sink, "Sink");
    graph->AddFilter(source, "Source");
    ASSERT_EQ(graph->Render(Pin(source, PINDIR_OUTPUT)), S_OK);
    EXPECT_EQ(madeLow + madeHigh, 0);
    std::shared_ptr<IPin> peer;
    Pin(middle, PINDIR_OUTPUT)->ConnectedTo(peer);
    EXPECT_EQ(peer, Pin(sink, PINDIR_INPUT));

    auto graph2 = CreateFilterGraph(registry);
    auto source2 = std::make_shared<FakeSource>(1);
    graph2->AddFilter(source2, "Source");
    ASSERT_EQ(graph2->Render(Pin(source2, PINDIR_OUTPUT)), S_OK);
    EXPECT_EQ(madeHigh, 1);
    EXPECT_EQ(FilterNames(*graph2), (std::vector<std::string>{"High", "Source"}));
}

TEST(FilterGraphTest, FailedRenderLeavesTheGraphAsItWas) {
    auto registry = EmptyRegistry();
    // A transform whose output nothing takes: tried, then taken out again.
    registry->Register(test::FakeEntry("Dead end", MERIT_NORMAL, {MediaTypePattern(MEDIATYPE_Audio)},
                                       [] { return std::make_shared<FakePassThrough>(); }));
    auto graph = CreateFilterGraph(registry);
    auto source = std::make_shared<FakeSource>(1);
    graph->AddFilter(source, "Source");
    graph->AddFilter(std::make_shared<test::PinlessFilter>(), "No pins");
    graph->AddFilter(std::make_shared<FakeSink>(MediaTypePattern(MEDIATYPE_Video)), "Video sink");
    EXPECT_EQ(graph->Render(Pin(source, PINDIR_OUTPUT)), VFW_E_CANNOT_RENDER);
    EXPECT_EQ(FilterNames(*graph), (std::vector<std::string>{"Video sink", "No pins", "Source"}));
    std::shared_ptr<IPin> peer;
    EXPECT_EQ(Pin(source, PINDIR_OUTPUT)->ConnectedTo(peer), VFW_E_NOT_CONNECTED);
}

struct RunningGraph {
    std::shared_ptr<FilterGraph> graph = CreateFilterGraph(std::make_shared<FilterRegistry>());
    std::shared_ptr<FakeSource> source;
    std::shared_ptr<FakeSink> sink = std::make_shared<FakeSink>();

    explicit RunningGraph(int samples, std::chrono::milliseconds pause = {})
        : source(std::make_shared<FakeSource>(samples, pause)) {
        graph->AddFilter(source, "Source");
        graph->AddFilter(sink, "Sink");
        graph->ConnectDirect(Pin(source, PINDIR_OUTPUT), Pin(sink, PINDIR_INPUT), nullptr);
    }
};

TEST(FilterGraphTest, WaitForCompletionReportsEndErrorAndStop) {
    long code = 0;
    {
        RunningGraph g(50);
        EXPECT_EQ(g.graph->WaitForCompletion(0, code), VFW_E_WRONG_STATE);
        ASSERT_EQ(g.graph->Run(), S_OK);
        EXPECT_EQ(g.graph->WaitForCompletion(INFINITE, code), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
        EXPECT_EQ(g.sink->received, 50);
        EXPECT_EQ(g.graph->StopWhenReady(), S_OK);
    }
    {
        RunningGraph g(50);
        g.source->failAt = 10;
        ASSERT_EQ(g.graph->Run(), S_OK);
        EXPECT_EQ(g.graph->WaitForCompletion(INFINITE, code), VFW_E_INVALID_FILE_FORMAT);
        EXPECT_EQ(code, EC_ERRORABORT);
    }
    {
        RunningGraph g(50);
        g.sink->failWith = STG_E_MEDIUMFULL;
        ASSERT_EQ(g.graph->Run(), S_OK);
        EXPECT_EQ(g.graph->WaitForCompletion(INFINITE, code), STG_E_MEDIUMFULL);
    }
    {
        RunningGraph g(-1, 1ms);
        ASSERT_EQ(g.graph->Run(), S_OK);
        EXPECT_EQ(g.graph->WaitForCompletion(20, code), E_ABORT);
        auto waiter = std::async(std::launch::async, [&] {
            long c = 0;
            return g.graph->WaitForCompletion(INFINITE, c);
        });
        std::this_thread::sleep_for(30ms);
        // The stop path of the program: pause, then stop, from another thread.
        g.graph->Pause();
        g.graph->Stop();
        ASSERT_EQ(waiter.wait_for(2s), std::future_status::ready);
        EXPECT_EQ(waiter.get(), VFW_E_WRONG_STATE);
        const int sent = g.source->sent;
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(g.source->sent, sent) << "streaming went on after Stop";
    }
}

TEST(FilterGraphTest, ReleasingTheGraphFreesEveryFilter) {
    std::weak_ptr<FakeSource> source;
    std::weak_ptr<FakeSink> sink;
    {
        RunningGraph g(-1, 1ms);
        source = g.source;
        sink = g.sink;
        g.graph->Run();
        g.source.reset();
        g.sink.reset();
    }
    EXPECT_TRUE(source.expired());
    EXPECT_TRUE(sink.expired());
}

TEST(FilterGraphTest, RegistryOrderNamesAndDirectCreation) {
    auto registry = EmptyRegistry();
    FilterEntry unnamed = test::FakeEntry("x", MERIT_NORMAL, {}, [] { return std::make_shared<FakeSink>(); });
    unnamed.friendlyName.reset();
    registry->Register(test::FakeEntry("B", MERIT_NORMAL, {}, [] { return std::make_shared<FakeSink>(); }));
    registry->Register(unnamed);
    registry->Register(test::FakeEntry("A", MERIT_PREFERRED, {}, [] { return std::make_shared<FakeSink>(); }));
    FilterEntry noFactory;
    noFactory.category = CLSID_LegacyAmFilterCategory;
    EXPECT_EQ(registry->Register(noFactory), E_INVALIDARG);

    DeviceEnumerator enumerator(registry);
    std::vector<Moniker> monikers;
    ASSERT_EQ(enumerator.CreateClassEnumerator(CLSID_LegacyAmFilterCategory, monikers), S_OK);
    ASSERT_EQ(monikers.size(), 3u);
    std::string name;
    EXPECT_EQ(monikers[0].ReadFriendlyName(name), S_OK);
    EXPECT_EQ(name, "B");
    EXPECT_EQ(monikers[1].ReadFriendlyName(name), E_FAIL);
    std::shared_ptr<IBaseFilter> filter;
    EXPECT_EQ(monikers[2].BindToObject(filter), S_OK);
    EXPECT_NE(filter, nullptr);
    EXPECT_EQ(enumerator.CreateClassEnumerator(CLSID_AudioInputDeviceCategory, monikers), S_FALSE);
    EXPECT_TRUE(monikers.empty());

    EXPECT_EQ(registry->CreateInstance(CLSID_WavDest, filter), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(filter, nullptr);
}

}  // namespace
}  // namespace tessival::media
