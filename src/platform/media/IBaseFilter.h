#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/media/Enumerator.h"
#include "platform/media/Guid.h"
#include "platform/media/IPin.h"

namespace tessival::media {

class IFilterGraph;

using IEnumPins = Enumerator<IPin>;

enum FILTER_STATE { State_Stopped = 0, State_Paused = 1, State_Running = 2 };

struct FILTER_INFO {
    std::string achName;                  // the filter's name in its graph (UTF-8)
    std::shared_ptr<IFilterGraph> pGraph;  // null when not in a graph
};

// Event codes a filter reports to its graph.
inline constexpr long EC_COMPLETE = 0x01;
inline constexpr long EC_USERABORT = 0x02;
inline constexpr long EC_ERRORABORT = 0x03;

// The graph's side of filter events (completion of a sink, errors on a streaming thread).
class IMediaEventSink {
public:
    virtual ~IMediaEventSink() = default;
    virtual HRESULT Notify(long eventCode, std::intptr_t param1, std::intptr_t param2) = 0;
};

class IBaseFilter {
public:
    virtual ~IBaseFilter() = default;
    // Pins in a stable order (inputs before outputs unless a filter says otherwise).
    virtual HRESULT EnumPins(std::shared_ptr<IEnumPins>& pins) = 0;
    virtual HRESULT FindPin(const std::string& name, std::shared_ptr<IPin>& pin) = 0;
    virtual HRESULT QueryFilterInfo(FILTER_INFO& info) const = 0;
    // Called by the graph on AddFilter (graph set) and RemoveFilter (graph null).
    virtual HRESULT JoinFilterGraph(const std::shared_ptr<IFilterGraph>& graph, const std::string& name) = 0;
    virtual HRESULT GetClassID(Guid& clsid) const = 0;
    // State changes come from the graph; Stop and Pause join the filter's streaming thread.
    virtual HRESULT Stop() = 0;
    virtual HRESULT Pause() = 0;
    virtual HRESULT Run() = 0;
    virtual HRESULT GetState(FILTER_STATE& state) const = 0;
};

// Convenience walk over EnumPins.
std::vector<std::shared_ptr<IPin>> PinsOf(IBaseFilter& filter);
std::vector<std::shared_ptr<IPin>> PinsOf(IBaseFilter& filter, PIN_DIRECTION direction);

}  // namespace tessival::media
