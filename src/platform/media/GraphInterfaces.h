#pragma once

#include <memory>
#include <string>

#include "platform/io/TrackPath.h"
#include "platform/media/IBaseFilter.h"

namespace tessival::media {

using IEnumFilters = Enumerator<IBaseFilter>;
using REFTIME = double;  // seconds
inline constexpr long INFINITE = -1;

class IFilterGraph {
public:
    virtual ~IFilterGraph() = default;
    // Adds under name; a name already taken gets " 0001" (and so on) appended and the call
    // returns VFW_S_DUPLICATE_NAME.
    virtual HRESULT AddFilter(const std::shared_ptr<IBaseFilter>& filter, const std::string& name) = 0;
    virtual HRESULT RemoveFilter(const std::shared_ptr<IBaseFilter>& filter) = 0;
    // Newest filter first.
    virtual HRESULT EnumFilters(std::shared_ptr<IEnumFilters>& filters) = 0;
    virtual HRESULT FindFilterByName(const std::string& name, std::shared_ptr<IBaseFilter>& filter) = 0;
    // Exactly these two pins, no filter in between; refuses a type the input does not accept.
    virtual HRESULT ConnectDirect(const std::shared_ptr<IPin>& output, const std::shared_ptr<IPin>& input,
                                  const MediaType* type) = 0;
    virtual HRESULT Disconnect(const std::shared_ptr<IPin>& pin) = 0;
    // Where the graph's filters report events; it does not keep the graph alive.
    virtual std::shared_ptr<IMediaEventSink> EventSink() = 0;
};

class IGraphBuilder : public IFilterGraph {
public:
    // Connects two pins, inserting registered filters between them when needed.
    virtual HRESULT Connect(const std::shared_ptr<IPin>& output, const std::shared_ptr<IPin>& input) = 0;
    // Completes the graph downstream of an output pin: filters already in the graph first, then
    // registered filters by merit, until every branch ends in a renderer or sink.
    virtual HRESULT Render(const std::shared_ptr<IPin>& output) = 0;
    // A source for the file, rendered to the end. S_OK, VFW_S_PARTIAL_RENDER, or a failure.
    virtual HRESULT RenderFile(const std::string& path, const std::string& playList) = 0;
    // The registered source filter that opens the file, loaded with it, added under name.
    virtual HRESULT AddSourceFilter(const std::string& path, const std::string& name,
                                    std::shared_ptr<IBaseFilter>& filter) = 0;
    // The same for a located source: an album track's source offers its range in its output type,
    // and the splitter behind it cuts the track out.
    virtual HRESULT RenderFile(const SourceLocation& source) = 0;
    virtual HRESULT AddSourceFilter(const SourceLocation& source, const std::string& name,
                                    std::shared_ptr<IBaseFilter>& filter) = 0;
};

// Graph control. Any thread may call Pause and Stop, also while another waits for completion.
class IMediaControl {
public:
    virtual ~IMediaControl() = default;
    virtual HRESULT Run() = 0;
    virtual HRESULT Pause() = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT StopWhenReady() = 0;
    virtual HRESULT GetState(long timeoutMs, FILTER_STATE& state) = 0;
};

class IMediaEventEx {
public:
    virtual ~IMediaEventEx() = default;
    // Waits until every sink has seen the end of its stream: S_OK with EC_COMPLETE. A filter
    // error ends the wait with that error and EC_ERRORABORT; EC_USERABORT sent to the graph's
    // event sink ends it with S_OK and EC_USERABORT; a Stop meanwhile (or a graph that is not
    // running) gives VFW_E_WRONG_STATE; the time-out E_ABORT.
    virtual HRESULT WaitForCompletion(long timeoutMs, long& eventCode) = 0;
};

class IMediaPosition {
public:
    virtual ~IMediaPosition() = default;
    virtual HRESULT get_Duration(REFTIME& seconds) = 0;
    virtual HRESULT get_CurrentPosition(REFTIME& seconds) = 0;
};

inline constexpr HRESULT VFW_S_DUPLICATE_NAME = MakeHResult(0x0004022D);

}  // namespace tessival::media
