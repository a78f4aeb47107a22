#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/media/BasePin.h"
#include "platform/media/IBaseFilter.h"
#include "platform/media/InputPin.h"
#include "platform/media/OutputPin.h"

namespace tessival::media {

// The common part of every filter: pins, graph membership, state, and the hooks pins call.
// Filters are always owned by std::shared_ptr (create them with std::make_shared).
//
// State hooks run under the filter's state lock, from the thread that drives the graph:
//   OnPrepare  Stopped -> Paused   (open codecs and files)
//   OnStart    Paused  -> Running  (start a streaming thread)
//   OnHalt     Running -> Paused   (join the streaming thread, keep resources)
//   OnRelease  Paused  -> Stopped  (finish and free resources)
class BaseFilter : public IBaseFilter, public std::enable_shared_from_this<BaseFilter> {
public:
    explicit BaseFilter(const Guid& clsid);
    ~BaseFilter() override;
    BaseFilter(const BaseFilter&) = delete;
    BaseFilter& operator=(const BaseFilter&) = delete;

    HRESULT EnumPins(std::shared_ptr<IEnumPins>& pins) override;
    HRESULT FindPin(const std::string& name, std::shared_ptr<IPin>& pin) override;
    HRESULT QueryFilterInfo(FILTER_INFO& info) const override;
    HRESULT JoinFilterGraph(const std::shared_ptr<IFilterGraph>& graph, const std::string& name) override;
    HRESULT GetClassID(Guid& clsid) const override;
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run() override;
    HRESULT GetState(FILTER_STATE& state) const override;

    FILTER_STATE State() const { return state_.load(); }
    std::shared_ptr<IBaseFilter> SharedFilter() const;

    // Pin hooks. Types: S_OK accepts, anything else refuses.
    virtual HRESULT CheckInputType(const BasePin& pin, const MediaType& type) const;
    // Default: the type equals one that GetMediaTypes offers on the pin.
    virtual HRESULT CheckOutputType(const BasePin& pin, const MediaType& type) const;
    virtual HRESULT GetMediaTypes(const BasePin& pin, std::vector<MediaType>& types) const;
    virtual HRESULT OnConnected(BasePin& pin);
    virtual void OnDisconnected(BasePin& pin);
    // From the input pin, on the streaming thread upstream of it; the sample is lent as in
    // IMemInputPin::Receive.
    virtual HRESULT Receive(InputPin& pin, MediaSample& sample);
    virtual HRESULT EndOfStream(InputPin& pin);

protected:
    virtual HRESULT OnPrepare() { return S_OK; }
    virtual HRESULT OnStart() { return S_OK; }
    virtual void OnHalt() {}
    virtual void OnRelease() {}

    template <class PinT, class... Args>
    PinT& AddPin(Args&&... args) {
        auto pin = std::make_unique<PinT>(*this, std::forward<Args>(args)...);
        PinT& ref = *pin;
        pins_.push_back(std::move(pin));
        return ref;
    }
    // Takes matching pins out of the enumeration (disconnecting them); they live on until the
    // filter dies, since callers may still hold them.
    void RetirePins(const std::function<bool(const BasePin&)>& which);

    HRESULT NotifyEvent(long eventCode, std::intptr_t param1 = 0, std::intptr_t param2 = 0);
    // Ends the graph with a streaming error (EC_ERRORABORT with the code).
    void ReportError(HRESULT hr);
    const std::string& NameInGraph() const { return name_; }

private:
    Guid clsid_;
    std::vector<std::unique_ptr<BasePin>> pins_;
    std::vector<std::unique_ptr<BasePin>> retiredPins_;
    std::string name_;
    std::weak_ptr<IFilterGraph> graph_;
    std::shared_ptr<IMediaEventSink> eventSink_;
    std::atomic<FILTER_STATE> state_{State_Stopped};
    std::mutex stateMutex_;
};

}  // namespace tessival::media
