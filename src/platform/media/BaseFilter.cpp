#include "platform/media/BaseFilter.h"

#include "platform/media/GraphInterfaces.h"
#include "platform/media/QueryInterface.h"

namespace tessival::media {

BaseFilter::BaseFilter(const Guid& clsid) : clsid_(clsid) {}

BaseFilter::~BaseFilter() = default;

HRESULT BaseFilter::EnumPins(std::shared_ptr<IEnumPins>& pins) {
    std::vector<std::shared_ptr<IPin>> list;
    list.reserve(pins_.size());
    for (const auto& pin : pins_) list.push_back(pin->Self());
    pins = std::make_shared<IEnumPins>(std::move(list));
    return S_OK;
}

HRESULT BaseFilter::FindPin(const std::string& name, std::shared_ptr<IPin>& pin) {
    for (const auto& candidate : pins_) {
        if (candidate->Name() == name) {
            pin = candidate->Self();
            return S_OK;
        }
    }
    pin.reset();
    return VFW_E_NOT_FOUND;
}

HRESULT BaseFilter::QueryFilterInfo(FILTER_INFO& info) const {
    info.achName = name_;
    info.pGraph = graph_.lock();
    return S_OK;
}

HRESULT BaseFilter::JoinFilterGraph(const std::shared_ptr<IFilterGraph>& graph, const std::string& name) {
    graph_ = graph;
    eventSink_ = graph ? graph->EventSink() : nullptr;
    name_ = graph ? name : std::string();
    return S_OK;
}

HRESULT BaseFilter::GetClassID(Guid& clsid) const {
    clsid = clsid_;
    return S_OK;
}

HRESULT BaseFilter::Stop() {
    std::lock_guard lock(stateMutex_);
    const FILTER_STATE from = state_.load();
    if (from == State_Running) OnHalt();
    if (from != State_Stopped) {
        state_ = State_Stopped;
        OnRelease();
    }
    return S_OK;
}

HRESULT BaseFilter::Pause() {
    std::lock_guard lock(stateMutex_);
    const FILTER_STATE from = state_.load();
    if (from == State_Stopped) {
        const HRESULT hr = OnPrepare();
        if (FAILED(hr)) return hr;
    } else if (from == State_Running) {
        OnHalt();
    }
    state_ = State_Paused;
    return S_OK;
}

HRESULT BaseFilter::Run() {
    if (State() == State_Stopped) {
        const HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    std::lock_guard lock(stateMutex_);
    if (state_ == State_Running) return S_OK;
    state_ = State_Running;
    const HRESULT hr = OnStart();
    if (FAILED(hr)) state_ = State_Paused;
    return hr;
}

HRESULT BaseFilter::GetState(FILTER_STATE& state) const {
    state = state_.load();
    return S_OK;
}

std::shared_ptr<IBaseFilter> BaseFilter::SharedFilter() const {
    return std::const_pointer_cast<BaseFilter>(weak_from_this().lock());
}

HRESULT BaseFilter::CheckInputType(const BasePin&, const MediaType&) const { return VFW_E_TYPE_NOT_ACCEPTED; }

HRESULT BaseFilter::CheckOutputType(const BasePin& pin, const MediaType& type) const {
    std::vector<MediaType> offered;
    GetMediaTypes(pin, offered);
    for (const MediaType& candidate : offered)
        if (candidate == type) return S_OK;
    return VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT BaseFilter::GetMediaTypes(const BasePin&, std::vector<MediaType>&) const { return S_OK; }

HRESULT BaseFilter::OnConnected(BasePin&) { return S_OK; }

void BaseFilter::OnDisconnected(BasePin&) {}

HRESULT BaseFilter::Receive(InputPin&, MediaSample&) { return E_UNEXPECTED; }

HRESULT BaseFilter::EndOfStream(InputPin&) { return S_OK; }

void BaseFilter::RetirePins(const std::function<bool(const BasePin&)>& which) {
    for (auto it = pins_.begin(); it != pins_.end();) {
        if (!which(**it)) {
            ++it;
            continue;
        }
        std::shared_ptr<IPin> peer;
        if (SUCCEEDED((*it)->ConnectedTo(peer))) {
            peer->Disconnect();
            (*it)->Disconnect();
        }
        retiredPins_.push_back(std::move(*it));
        it = pins_.erase(it);
    }
}

HRESULT BaseFilter::NotifyEvent(long eventCode, std::intptr_t param1, std::intptr_t param2) {
    const auto sink = eventSink_;
    return sink ? sink->Notify(eventCode, param1, param2) : E_NOINTERFACE;
}

void BaseFilter::ReportError(HRESULT hr) { NotifyEvent(EC_ERRORABORT, hr); }

}  // namespace tessival::media
