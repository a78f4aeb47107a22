#include "engine/GraphToolkit.h"

#include "platform/media/DeviceEnumerator.h"
#include "platform/media/QueryInterface.h"

namespace tessival {

using namespace media;

namespace {

std::string NameAt(const std::vector<std::string>& names, int index) {
    if (index < 0 || index >= static_cast<int>(names.size())) return std::string();
    return names[static_cast<std::size_t>(index)];
}

}  // namespace

GraphToolkit::GraphToolkit(Shell& shell, std::shared_ptr<const FilterRegistry> registry)
    : shell_(shell), registry_(std::move(registry)), graph_(std::make_shared<FilterGraph>(registry_)) {}

// Stop first so no streaming thread outlives the graph's last owner.
GraphToolkit::~GraphToolkit() { graph_->Stop(); }

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
    lastNames_.clear();
    std::vector<Moniker> monikers;
    if (DeviceEnumerator(registry_).CreateClassEnumerator(category, monikers) != S_OK) return nullptr;

    int counter = 0;
    for (const Moniker& moniker : monikers) {
        std::string name;
        if (FAILED(moniker.ReadFriendlyName(name))) continue;
        lastNames_.push_back(name);
        const bool chosen = (prefix && name.rfind(prefix, 0) == 0) || counter == index;
        if (!chosen) {
            ++counter;
            continue;
        }
        std::shared_ptr<IBaseFilter> filter;
        if (FAILED(moniker.BindToObject(filter)) || !filter) return nullptr;
        if (FAILED(graph_->AddFilter(filter, name))) return nullptr;
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

std::shared_ptr<IBaseFilter> GraphToolkit::AddAudioInputDevice(int index) {
    return FindFilterInCategory(CLSID_AudioInputDeviceCategory, nullptr, index);
}

std::vector<std::string> GraphToolkit::CategoryNames(const Guid& category) const {
    std::vector<std::string> names;
    std::vector<Moniker> monikers;
    if (DeviceEnumerator(registry_).CreateClassEnumerator(category, monikers) != S_OK) return names;
    for (const Moniker& moniker : monikers) {
        std::string name;
        if (SUCCEEDED(moniker.ReadFriendlyName(name))) names.push_back(name);
    }
    return names;
}

std::vector<std::string> GraphToolkit::AudioInputDeviceNames() const {
    return CategoryNames(CLSID_AudioInputDeviceCategory);
}

std::vector<std::string> GraphToolkit::PinNamesOf(const std::shared_ptr<IBaseFilter>& filter,
                                                  PIN_DIRECTION direction) const {
    std::vector<std::string> names;
    std::shared_ptr<IEnumPins> pins;
    if (!filter || FAILED(filter->EnumPins(pins)) || !pins) return names;
    pins->Reset();
    std::size_t count = 0;
    std::shared_ptr<IPin> pin;
    while (pins->Next(pin) == S_OK) {
        PIN_DIRECTION pinDirection;
        if (FAILED(pin->QueryDirection(pinDirection))) {
            ++count;
            names.push_back("UnKnow");
            continue;
        }
        if (pinDirection != direction) continue;
        ++count;
        PIN_INFO info;
        if (SUCCEEDED(pin->QueryPinInfo(info))) names.push_back(info.achName);
    }
    names.resize(count);
    return names;
}

int GraphToolkit::ListCategory(const Guid& category) {
    lastNames_ = CategoryNames(category);
    return static_cast<int>(lastNames_.size());
}

int GraphToolkit::ListAudioInputDevices() {
    lastNames_ = AudioInputDeviceNames();
    return static_cast<int>(lastNames_.size());
}

std::string GraphToolkit::GetDeviceName(int index) const { return NameAt(lastNames_, index); }

int GraphToolkit::ListPins(const std::shared_ptr<IBaseFilter>& filter, PIN_DIRECTION direction) {
    lastPinNames_ = PinNamesOf(filter, direction);
    return static_cast<int>(lastPinNames_.size());
}

std::string GraphToolkit::GetPinName(int index) const { return NameAt(lastPinNames_, index); }

void GraphToolkit::SelectInputLine(const std::shared_ptr<IBaseFilter>& filter, int lineCount, int selected) {
    for (int i = 0; i < lineCount; ++i) {
        auto pin = GetPin(filter, PINDIR_INPUT, i);
        if (!pin) return;
        if (auto mixer = QueryInterface<IAMAudioInputMixer>(pin)) mixer->put_Enable(i == selected);
    }
}

HRESULT GraphToolkit::AddSourceFile(const SourceLocation& source, std::shared_ptr<IBaseFilter>& filter) {
    return graph_->AddSourceFilter(source, source.file, filter);
}

HRESULT GraphToolkit::AddWavFileSink(const std::string& path) {
    registry_->CreateInstance(CLSID_WavDest, wavDest_);
    if (wavDest_) graph_->AddFilter(wavDest_, "WAV Dest");
    return AddFileWriter(path);
}

HRESULT GraphToolkit::AddFileWriter(const std::string& path) {
    std::shared_ptr<IBaseFilter> writer;
    registry_->CreateInstance(CLSID_FileWriter, writer);
    fileWriterSink_ = QueryInterface<IFileSinkFilter2>(writer);
    if (fileWriterSink_) fileWriter_ = writer;
    if (fileWriter_) graph_->AddFilter(fileWriter_, "File Writer");
    if (!fileWriterSink_) return E_NOINTERFACE;
    fileWriterSink_->SetMode(AM_FILE_OVERWRITE);
    return fileWriterSink_->SetFileName(path, nullptr);
}

}  // namespace tessival
