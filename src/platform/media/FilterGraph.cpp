#include "platform/media/FilterGraph.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <set>

#include "platform/media/IntelligentConnect.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/QueryInterface.h"

namespace tessival::media {
namespace {

std::shared_ptr<IBaseFilter> FilterOfPin(const std::shared_ptr<IPin>& pin) {
    PIN_INFO info;
    if (!pin || FAILED(pin->QueryPinInfo(info))) return nullptr;
    return info.pFilter;
}

std::vector<std::shared_ptr<IBaseFilter>> UpstreamOf(IBaseFilter& filter) {
    std::vector<std::shared_ptr<IBaseFilter>> upstream;
    for (const auto& pin : PinsOf(filter, PINDIR_INPUT)) {
        std::shared_ptr<IPin> peer;
        if (SUCCEEDED(pin->ConnectedTo(peer)))
            if (auto owner = FilterOfPin(peer)) upstream.push_back(owner);
    }
    return upstream;
}

bool IsConnectedSink(IBaseFilter& filter) {
    if (!PinsOf(filter, PINDIR_OUTPUT).empty()) return false;
    for (const auto& pin : PinsOf(filter, PINDIR_INPUT)) {
        std::shared_ptr<IPin> peer;
        if (SUCCEEDED(pin->ConnectedTo(peer))) return true;
    }
    return false;
}

}  // namespace

FilterGraph::FilterGraph(std::shared_ptr<const FilterRegistry> registry)
    : registry_(std::move(registry)), eventSink_(std::make_shared<GraphEventSink>(this)) {}

FilterGraph::~FilterGraph() {
    eventSink_->Detach();
    Stop();
    for (const auto& member : members_) {
        for (const auto& pin : PinsOf(*member.filter)) pin->Disconnect();
        member.filter->JoinFilterGraph(nullptr, {});
    }
}

std::shared_ptr<FilterGraph> CreateFilterGraph(std::shared_ptr<const FilterRegistry> registry) {
    return std::make_shared<FilterGraph>(std::move(registry));
}

std::string FilterGraph::UniqueName(const std::string& name) const {
    auto taken = [this](const std::string& candidate) {
        return std::any_of(members_.begin(), members_.end(), [&](const Member& m) { return m.name == candidate; });
    };
    if (!taken(name)) return name;
    for (int n = 1;; ++n) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, " %04d", n);
        if (!taken(name + suffix)) return name + suffix;
    }
}

HRESULT FilterGraph::AddFilter(const std::shared_ptr<IBaseFilter>& filter, const std::string& name) {
    if (!filter) return E_POINTER;
    std::string unique;
    {
        std::lock_guard lock(membersMutex_);
        for (const auto& member : members_)
            if (member.filter == filter) return E_INVALIDARG;
        unique = UniqueName(name);
        members_.push_back({filter, unique});
    }
    filter->JoinFilterGraph(weak_from_this().lock(), unique);
    return unique == name ? S_OK : VFW_S_DUPLICATE_NAME;
}

HRESULT FilterGraph::RemoveFilter(const std::shared_ptr<IBaseFilter>& filter) {
    if (!Contains(filter)) return VFW_E_NOT_FOUND;
    FILTER_STATE state;
    filter->GetState(state);
    if (state != State_Stopped) return VFW_E_NOT_STOPPED;
    for (const auto& pin : PinsOf(*filter)) {
        std::shared_ptr<IPin> peer;
        if (SUCCEEDED(pin->ConnectedTo(peer))) peer->Disconnect();
        pin->Disconnect();
    }
    filter->JoinFilterGraph(nullptr, {});
    std::lock_guard lock(membersMutex_);
    std::erase_if(members_, [&](const Member& m) { return m.filter == filter; });
    return S_OK;
}

std::vector<std::shared_ptr<IBaseFilter>> FilterGraph::FiltersInAddOrder() const {
    std::lock_guard lock(membersMutex_);
    std::vector<std::shared_ptr<IBaseFilter>> filters;
    for (const auto& member : members_) filters.push_back(member.filter);
    return filters;
}

bool FilterGraph::Contains(const std::shared_ptr<IBaseFilter>& filter) const {
    std::lock_guard lock(membersMutex_);
    return std::any_of(members_.begin(), members_.end(), [&](const Member& m) { return m.filter == filter; });
}

HRESULT FilterGraph::EnumFilters(std::shared_ptr<IEnumFilters>& filters) {
    auto list = FiltersInAddOrder();
    std::reverse(list.begin(), list.end());
    filters = std::make_shared<IEnumFilters>(std::move(list));
    return S_OK;
}

HRESULT FilterGraph::FindFilterByName(const std::string& name, std::shared_ptr<IBaseFilter>& filter) {
    std::lock_guard lock(membersMutex_);
    for (const auto& member : members_) {
        if (member.name == name) {
            filter = member.filter;
            return S_OK;
        }
    }
    filter.reset();
    return VFW_E_NOT_FOUND;
}

HRESULT FilterGraph::ConnectDirect(const std::shared_ptr<IPin>& output, const std::shared_ptr<IPin>& input,
                                   const MediaType* type) {
    if (!output || !input) return E_POINTER;
    if (!Contains(FilterOfPin(output)) || !Contains(FilterOfPin(input))) return VFW_E_NOT_IN_GRAPH;
    PIN_DIRECTION outDirection, inDirection;
    output->QueryDirection(outDirection);
    input->QueryDirection(inDirection);
    if (outDirection != PINDIR_OUTPUT || inDirection != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
    return output->Connect(input, type);
}

HRESULT FilterGraph::Disconnect(const std::shared_ptr<IPin>& pin) { return pin ? pin->Disconnect() : E_POINTER; }

HRESULT FilterGraph::Connect(const std::shared_ptr<IPin>& output, const std::shared_ptr<IPin>& input) {
    return IntelligentConnect(*this).Connect(output, input);
}

HRESULT FilterGraph::Render(const std::shared_ptr<IPin>& output) { return IntelligentConnect(*this).Render(output); }

HRESULT FilterGraph::RenderFile(const std::string& path, const std::string&) { return RenderFile(SourceLocation{path, {}}); }

HRESULT FilterGraph::AddSourceFilter(const std::string& path, const std::string& name,
                                     std::shared_ptr<IBaseFilter>& filter) {
    return AddSourceFilter(SourceLocation{path, {}}, name, filter);
}

HRESULT FilterGraph::RenderFile(const SourceLocation& source) { return IntelligentConnect(*this).RenderFile(source); }

HRESULT FilterGraph::AddSourceFilter(const SourceLocation& source, const std::string& name,
                                     std::shared_ptr<IBaseFilter>& filter) {
    return IntelligentConnect(*this).AddSourceFilter(source, name, filter);
}

std::vector<std::shared_ptr<IBaseFilter>> FilterGraph::UpstreamFirst() const {
    std::vector<std::shared_ptr<IBaseFilter>> ordered;
    std::set<IBaseFilter*> visited;
    std::function<void(const std::shared_ptr<IBaseFilter>&)> visit = [&](const std::shared_ptr<IBaseFilter>& f) {
        if (!visited.insert(f.get()).second) return;
        for (const auto& upstream : UpstreamOf(*f))
            if (Contains(upstream)) visit(upstream);
        ordered.push_back(f);
    };
    for (const auto& filter : FiltersInAddOrder()) visit(filter);
    return ordered;
}

int FilterGraph::CountSinks() const {
    int sinks = 0;
    for (const auto& filter : FiltersInAddOrder())
        if (IsConnectedSink(*filter)) ++sinks;
    return sinks;
}

HRESULT FilterGraph::Run() {
    std::lock_guard control(controlMutex_);
    if (state_ == State_Running) return S_OK;
    const auto upstreamFirst = UpstreamFirst();
    if (state_ == State_Stopped) {
        {
            std::lock_guard events(eventMutex_);
            pendingSinks_ = CountSinks();
            completed_ = pendingSinks_ == 0;
            userAborted_ = false;
            error_ = S_OK;
            running_ = true;
            runningFilters_ = upstreamFirst;
        }
        // Sinks get ready before anything flows into them.
        for (auto it = upstreamFirst.rbegin(); it != upstreamFirst.rend(); ++it) {
            const HRESULT hr = (*it)->Pause();
            if (FAILED(hr)) return FailStart(upstreamFirst, hr);
        }
    }
    for (auto it = upstreamFirst.rbegin(); it != upstreamFirst.rend(); ++it) {
        const HRESULT hr = (*it)->Run();
        if (FAILED(hr)) return FailStart(upstreamFirst, hr);
    }
    state_ = State_Running;
    return S_OK;
}

HRESULT FilterGraph::Pause() {
    std::lock_guard control(controlMutex_);
    if (state_ == State_Paused) return S_OK;
    auto order = UpstreamFirst();
    // From stopped, sinks first; from running, sources first so that streaming ends at once.
    if (state_ == State_Stopped) std::reverse(order.begin(), order.end());
    for (const auto& filter : order) {
        const HRESULT hr = filter->Pause();
        if (FAILED(hr)) return hr;
    }
    state_ = State_Paused;
    return S_OK;
}

HRESULT FilterGraph::FailStart(const std::vector<std::shared_ptr<IBaseFilter>>& filters, HRESULT hr) {
    // Sinks that were made ready must not take what a failed start left for a finished stream.
    TellAborted(filters, hr);
    StopFilters();
    return hr;
}

HRESULT FilterGraph::Stop() {
    std::lock_guard control(controlMutex_);
    StopFilters();
    return S_OK;
}

void FilterGraph::StopFilters() {
    // Sources first: their streaming threads end before the sinks close their files.
    for (const auto& filter : UpstreamFirst()) filter->Stop();
    state_ = State_Stopped;
    {
        std::lock_guard events(eventMutex_);
        running_ = false;
        ++stops_;
        runningFilters_.clear();
    }
    eventChanged_.notify_all();
}

HRESULT FilterGraph::StopWhenReady() { return Stop(); }

HRESULT FilterGraph::GetState(long, FILTER_STATE& state) {
    std::lock_guard control(controlMutex_);
    state = state_;
    return S_OK;
}

HRESULT FilterGraph::WaitForCompletion(long timeoutMs, long& eventCode) {
    eventCode = 0;
    std::unique_lock lock(eventMutex_);
    if (!running_) return VFW_E_WRONG_STATE;
    const std::uint64_t stopsAtStart = stops_;
    auto settled = [&] { return completed_ || userAborted_ || FAILED(error_) || stops_ != stopsAtStart; };
    if (timeoutMs < 0)
        eventChanged_.wait(lock, settled);
    else
        eventChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs), settled);
    if (FAILED(error_)) {
        eventCode = EC_ERRORABORT;
        return error_;
    }
    if (completed_ || userAborted_) {
        eventCode = completed_ ? EC_COMPLETE : EC_USERABORT;
        return S_OK;
    }
    return stops_ != stopsAtStart ? VFW_E_WRONG_STATE : E_ABORT;
}

HRESULT FilterGraph::Notify(long eventCode, std::intptr_t param1, std::intptr_t) {
    std::vector<std::shared_ptr<IBaseFilter>> toAbort;
    {
        std::lock_guard lock(eventMutex_);
        if (!running_) return S_FALSE;
        if (eventCode == EC_COMPLETE && pendingSinks_ > 0 && --pendingSinks_ == 0) completed_ = true;
        if (eventCode == EC_USERABORT) userAborted_ = true;
        if (eventCode == EC_ERRORABORT && SUCCEEDED(error_)) {
            const auto hr = static_cast<HRESULT>(param1);
            error_ = FAILED(hr) ? hr : E_FAIL;
            toAbort = runningFilters_;
        }
    }
    TellAborted(toAbort, static_cast<HRESULT>(param1));
    eventChanged_.notify_all();
    return S_OK;
}

void FilterGraph::TellAborted(const std::vector<std::shared_ptr<IBaseFilter>>& filters, HRESULT hr) {
    for (const auto& filter : filters)
        if (auto sink = QueryInterface<IStreamAbortSink>(filter)) sink->OnStreamAborted(hr);
}

HRESULT FilterGraph::LongestOf(HRESULT (IMediaSeeking::*read)(REFERENCE_TIME&), REFTIME& seconds) const {
    seconds = 0;
    HRESULT result = E_NOTIMPL;
    for (const auto& filter : FiltersInAddOrder()) {
        REFERENCE_TIME time = 0;
        auto seeking = QueryInterface<IMediaSeeking>(filter);
        if (!seeking || FAILED(((*seeking).*read)(time))) continue;
        seconds = std::max(seconds, static_cast<double>(time) / kUnitsPerSecond);
        result = S_OK;
    }
    return result;
}

HRESULT FilterGraph::get_Duration(REFTIME& seconds) { return LongestOf(&IMediaSeeking::GetDuration, seconds); }

HRESULT FilterGraph::get_CurrentPosition(REFTIME& seconds) {
    return LongestOf(&IMediaSeeking::GetCurrentPosition, seconds);
}

}  // namespace tessival::media
