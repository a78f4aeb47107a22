#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/media/FilterRegistry.h"
#include "platform/media/GraphEventSink.h"
#include "platform/media/GraphInterfaces.h"
#include "platform/media/OptionalInterfaces.h"

namespace tessival::media {

// The filter graph manager: one object offering IGraphBuilder, IMediaControl, IMediaEventEx,
// IMediaPosition and the filters' event sink. Create it with CreateFilterGraph. Building calls
// (AddFilter, connections, Render) come from one thread while the graph is stopped; Pause and
// Stop may come from any thread, also while another thread waits for completion. Releasing
// the graph stops it and frees every filter it holds.
class FilterGraph : public IGraphBuilder,
                    public IMediaControl,
                    public IMediaEventEx,
                    public IMediaPosition,
                    public IMediaEventSink,
                    public std::enable_shared_from_this<FilterGraph> {
public:
    explicit FilterGraph(std::shared_ptr<const FilterRegistry> registry);
    ~FilterGraph() override;
    FilterGraph(const FilterGraph&) = delete;
    FilterGraph& operator=(const FilterGraph&) = delete;

    // IFilterGraph / IGraphBuilder
    HRESULT AddFilter(const std::shared_ptr<IBaseFilter>& filter, const std::string& name) override;
    HRESULT RemoveFilter(const std::shared_ptr<IBaseFilter>& filter) override;
    HRESULT EnumFilters(std::shared_ptr<IEnumFilters>& filters) override;
    HRESULT FindFilterByName(const std::string& name, std::shared_ptr<IBaseFilter>& filter) override;
    HRESULT ConnectDirect(const std::shared_ptr<IPin>& output, const std::shared_ptr<IPin>& input,
                          const MediaType* type) override;
    HRESULT Disconnect(const std::shared_ptr<IPin>& pin) override;
    std::shared_ptr<IMediaEventSink> EventSink() override { return eventSink_; }
    HRESULT Connect(const std::shared_ptr<IPin>& output, const std::shared_ptr<IPin>& input) override;
    HRESULT Render(const std::shared_ptr<IPin>& output) override;
    HRESULT RenderFile(const std::string& path, const std::string& playList) override;
    HRESULT AddSourceFilter(const std::string& path, const std::string& name,
                            std::shared_ptr<IBaseFilter>& filter) override;
    HRESULT RenderFile(const SourceLocation& source) override;
    HRESULT AddSourceFilter(const SourceLocation& source, const std::string& name,
                            std::shared_ptr<IBaseFilter>& filter) override;

    // IMediaControl
    HRESULT Run() override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    HRESULT StopWhenReady() override;
    HRESULT GetState(long timeoutMs, FILTER_STATE& state) override;

    // IMediaEventEx
    HRESULT WaitForCompletion(long timeoutMs, long& eventCode) override;

    // IMediaPosition
    HRESULT get_Duration(REFTIME& seconds) override;
    HRESULT get_CurrentPosition(REFTIME& seconds) override;

    // IMediaEventSink (filters, on any thread)
    HRESULT Notify(long eventCode, std::intptr_t param1, std::intptr_t param2) override;

    const std::shared_ptr<const FilterRegistry>& Registry() const { return registry_; }
    // Filters in the order they were added (automatic connection tries them in this order).
    std::vector<std::shared_ptr<IBaseFilter>> FiltersInAddOrder() const;
    bool Contains(const std::shared_ptr<IBaseFilter>& filter) const;

private:
    struct Member {
        std::shared_ptr<IBaseFilter> filter;
        std::string name;
    };

    std::string UniqueName(const std::string& name) const;
    // Upstream filters before the filters they feed.
    std::vector<std::shared_ptr<IBaseFilter>> UpstreamFirst() const;
    int CountSinks() const;
    void StopFilters();
    HRESULT FailStart(const std::vector<std::shared_ptr<IBaseFilter>>& filters, HRESULT hr);
    static void TellAborted(const std::vector<std::shared_ptr<IBaseFilter>>& filters, HRESULT hr);
    // The largest time any filter with IMediaSeeking reports, in seconds.
    HRESULT LongestOf(HRESULT (IMediaSeeking::*read)(REFERENCE_TIME&), REFTIME& seconds) const;

    std::shared_ptr<const FilterRegistry> registry_;
    std::shared_ptr<GraphEventSink> eventSink_;
    mutable std::mutex membersMutex_;
    std::vector<Member> members_;
    FILTER_STATE state_ = State_Stopped;
    std::mutex controlMutex_;  // serialises Run / Pause / Stop

    // Completion, guarded by eventMutex_.
    std::mutex eventMutex_;
    std::condition_variable eventChanged_;
    int pendingSinks_ = 0;
    bool running_ = false;
    bool completed_ = false;
    bool userAborted_ = false;
    HRESULT error_ = S_OK;
    std::uint64_t stops_ = 0;
    std::vector<std::shared_ptr<IBaseFilter>> runningFilters_;
};

// The graph object, as CoCreateInstance(CLSID_FilterGraph) gives it.
std::shared_ptr<FilterGraph> CreateFilterGraph(std::shared_ptr<const FilterRegistry> registry = SystemRegistry());

}  // namespace tessival::media
