#include "engine/GraphToolkit.h"

#include "platform/media/DeviceEnumerator.h"
#include "platform/media/QueryInterface.h"

namespace tessival {

using namespace media;

GraphToolkit::GraphToolkit(Shell& shell, std::shared_ptr<const FilterRegistry> registry)
    : shell_(shell), registry_(std::move(registry)) {
    OpenGraph();
}

GraphToolkit::~GraphToolkit() { CloseGraph(); }

bool GraphToolkit::OpenGraph() {
    WavDestFilter.reset();
    FileWriterFilter.reset();
    FileWriterSink.reset();
    graph = std::make_shared<FilterGraph>(registry_);
    builder = QueryInterface<IGraphBuilder>(graph);
    control = QueryInterface<IMediaControl>(graph);
    events = QueryInterface<IMediaEventEx>(graph);
    position = QueryInterface<IMediaPosition>(graph);
    return builder && control && events && position;
}

void GraphToolkit::CloseGraph() {
    // Stop first so no streaming thread outlives the graph's last owner.
    if (control) control->Stop();
    WavDestFilter.reset();
    FileWriterFilter.reset();
    FileWriterSink.reset();
    control.reset();
    events.reset();
    position.reset();
    builder.reset();
    graph.reset();
}

std::shared_ptr<IPin> GraphToolkit::GetPin(const std::shared_ptr<IBaseFilter>& filter, PIN_DIRECTION direction,
                                           int index) {
    if (!filter) return nullptr;
    std::shared_ptr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins)) || !pins) return nullptr;
    std::shared_ptr<IPin> pin;
    while (pins->Next(pin) == S_OK) {
        PIN_DIRECTION pinDirection;
        if (FAILED(pin->QueryDirection(pinDirection)) || pinDirection != direction) continue;
        if (index == 0) return pin;
        --index;
    }
    return nullptr;
}

std::shared_ptr<IBaseFilter> GraphToolkit::FindFilterInCategory(const Guid& category, const char* prefix, int index) {
    DeviceNames.clear();
    std::vector<Moniker> monikers;
    if (DeviceEnumerator(registry_).CreateClassEnumerator(category, monikers) != S_OK) return nullptr;

    int counter = 0;
    for (const Moniker& moniker : monikers) {
        std::string name;
        if (FAILED(moniker.ReadFriendlyName(name))) continue;
        DeviceNames.push_back(name);
        const bool chosen = (prefix && name.rfind(prefix, 0) == 0) || counter == index;
        if (!chosen) {
            ++counter;
            continue;
        }
        std::shared_ptr<IBaseFilter> filter;
        if (FAILED(moniker.BindToObject(filter)) || !filter) return nullptr;
        if (!graph || FAILED(graph->AddFilter(filter, name))) return nullptr;
        return filter;
    }
    return nullptr;
}

std::shared_ptr<IBaseFilter> GraphToolkit::AddFilterByName(const std::string& prefix) {
    return FindFilterInCategory(CLSID_LegacyAmFilterCategory, prefix.c_str(), -1);
}

std::shared_ptr<IBaseFilter> GraphToolkit::AddAudioCompressor(const std::string& prefix) {
    return FindFilterInCategory(CLSID_AudioCompressorCategory, prefix.c_str(), -1);
}

int GraphToolkit::ListAudioInputDevices() {
    FindFilterInCategory(CLSID_AudioInputDeviceCategory, nullptr, -1);
    return static_cast<int>(DeviceNames.size());
}

std::shared_ptr<IBaseFilter> GraphToolkit::AddAudioInputDevice(int index) {
    return FindFilterInCategory(CLSID_AudioInputDeviceCategory, nullptr, index);
}

int GraphToolkit::ListCategory(const Guid& category) {
    DeviceNames.clear();
    std::vector<Moniker> monikers;
    if (DeviceEnumerator(registry_).CreateClassEnumerator(category, monikers) != S_OK) return 0;
    for (const Moniker& moniker : monikers) {
        std::string name;
        if (SUCCEEDED(moniker.ReadFriendlyName(name))) DeviceNames.push_back(name);
    }
    return static_cast<int>(DeviceNames.size());
}

namespace {

std::string NameAt(const std::vector<std::string>& names, int index) {
    if (index < 0 || index >= static_cast<int>(names.size())) return std::string();
    return names[static_cast<std::size_t>(index)];
}

}  // namespace

std::string GraphToolkit::GetDeviceName(int index) const { return NameAt(DeviceNames, index); }

int GraphToolkit::ListPins(const std::shared_ptr<IBaseFilter>& filter, PIN_DIRECTION direction) {
    PinNames.clear();
    if (!filter) return 0;
    std::shared_ptr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins)) || !pins) return 0;
    pins->Reset();
    int count = 0;
    std::shared_ptr<IPin> pin;
    while (pins->Next(pin) == S_OK) {
        PIN_DIRECTION pinDirection;
        if (FAILED(pin->QueryDirection(pinDirection))) {
            ++count;
            PinNames.push_back("UnKnow");
            continue;
        }
        if (pinDirection != direction) continue;
        ++count;
        PIN_INFO info;
        if (SUCCEEDED(pin->QueryPinInfo(info))) PinNames.push_back(info.achName);
    }
    return count;
}

std::string GraphToolkit::GetPinName(int index) const { return NameAt(PinNames, index); }

void GraphToolkit::SelectInputLine(const std::shared_ptr<IBaseFilter>& filter, int lineCount, int selected) {
    for (int i = 0; i < lineCount; ++i) {
        auto pin = GetPin(filter, PINDIR_INPUT, i);
        if (!pin) return;
        if (auto mixer = QueryInterface<IAMAudioInputMixer>(pin)) mixer->put_Enable(i == selected);
    }
}

HRESULT GraphToolkit::AddSourceFile(const std::string& path, std::shared_ptr<IBaseFilter>& filter) {
    if (!builder) return E_POINTER;
    return builder->AddSourceFilter(path, path, filter);
}

HRESULT GraphToolkit::AddWavFileSink(const std::string& path) {
    registry_->CreateInstance(CLSID_WavDest, WavDestFilter);
    if (graph && WavDestFilter) graph->AddFilter(WavDestFilter, "WAV Dest");
    return AddFileWriter(path);
}

HRESULT GraphToolkit::AddFileWriter(const std::string& path) {
    std::shared_ptr<IBaseFilter> writer;
    registry_->CreateInstance(CLSID_FileWriter, writer);
    FileWriterSink = QueryInterface<IFileSinkFilter2>(writer);
    if (FileWriterSink) FileWriterFilter = writer;
    if (!graph) return E_POINTER;
    if (FileWriterFilter) graph->AddFilter(FileWriterFilter, "File Writer");
    if (!FileWriterSink) return E_NOINTERFACE;
    FileWriterSink->SetMode(AM_FILE_OVERWRITE);
    return FileWriterSink->SetFileName(path, nullptr);
}

}  // namespace tessival
