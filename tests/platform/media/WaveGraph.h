#pragma once

// Builds a conversion graph the way the program's engine does: "WAV Dest" + "File Writer" for
// the destination, the encoder from the audio compressors, "File Source (Async.)" ->
// "Wave Parser" -> "ACM Wrapper" joined pin to pin, the chosen format set through
// IAMStreamConfig, and the encoder's output rendered into the sink pair. Used by tests and the
// benchmark, so it depends on nothing but the media layer.
#include <memory>
#include <string>

#include "platform/media/FilterGraph.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/QueryInterface.h"

namespace tessival::media::test {

inline std::shared_ptr<IBaseFilter> AddByName(FilterGraph& graph, const Guid& category, const std::string& name) {
    for (const FilterEntry& entry : graph.Registry()->Entries(category)) {
        if (entry.friendlyName != name) continue;
        auto filter = entry.factory();
        return SUCCEEDED(graph.AddFilter(filter, name)) ? filter : nullptr;
    }
    return nullptr;
}

inline std::shared_ptr<IPin> PinOf(const std::shared_ptr<IBaseFilter>& filter, PIN_DIRECTION direction, int index = 0) {
    if (!filter) return nullptr;
    auto pins = PinsOf(*filter, direction);
    return index < static_cast<int>(pins.size()) ? pins[index] : nullptr;
}

// Sets the first capability with the same channels, rate, byte rate and bits; false when none.
inline bool ApplyFormat(const std::shared_ptr<IBaseFilter>& encoder, const WAVEFORMATEX& wanted) {
    auto config = QueryInterface<IAMStreamConfig>(PinOf(encoder, PINDIR_OUTPUT));
    int count = 0, size = 0;
    if (!config || FAILED(config->GetNumberOfCapabilities(count, size))) return false;
    for (int i = 0; i < count; ++i) {
        MediaType type;
        if (config->GetStreamCaps(i, type, nullptr) != S_OK) continue;
        const WAVEFORMATEX* f = type.WaveFormat();
        if (f->nChannels == wanted.nChannels && f->nSamplesPerSec == wanted.nSamplesPerSec &&
            f->nAvgBytesPerSec == wanted.nAvgBytesPerSec && f->wBitsPerSample == wanted.wBitsPerSample) {
            config->SetFormat(type);
            return true;
        }
    }
    return false;
}

struct WaveGraph {
    std::shared_ptr<FilterGraph> graph;
    std::shared_ptr<IBaseFilter> source, parser, wrapper, encoder, wavDest, fileWriter;

    // Builds everything up to the encoder's input; the result of each step is in `built`.
    WaveGraph(const std::string& sourcePath, const std::string& destPath, const std::string& encoderName = "PCM",
              std::shared_ptr<const FilterRegistry> registry = SystemRegistry())
        : graph(CreateFilterGraph(std::move(registry))) {
        CoCreate(CLSID_WavDest, wavDest);
        CoCreate(CLSID_FileWriter, fileWriter);
        graph->AddFilter(wavDest, "WAV Dest");
        graph->AddFilter(fileWriter, "File Writer");
        if (auto sink = QueryInterface<IFileSinkFilter2>(fileWriter)) {
            sink->SetMode(AM_FILE_OVERWRITE);
            sink->SetFileName(destPath, nullptr);
        }
        encoder = AddByName(*graph, CLSID_AudioCompressorCategory, encoderName);
        AddByName(*graph, CLSID_LegacyAmFilterCategory, "File Source (Async.)");
        sourceResult = graph->AddSourceFilter(sourcePath, sourcePath, source);
        parser = AddByName(*graph, CLSID_LegacyAmFilterCategory, "Wave Parser");
        wrapper = AddByName(*graph, CLSID_LegacyAmFilterCategory, "ACM Wrapper");
        connectResult = Chain();
    }

    HRESULT Chain() {
        if (FAILED(sourceResult)) return sourceResult;
        HRESULT hr = graph->ConnectDirect(PinOf(source, PINDIR_OUTPUT), PinOf(parser, PINDIR_INPUT), nullptr);
        if (SUCCEEDED(hr)) hr = graph->ConnectDirect(PinOf(parser, PINDIR_OUTPUT), PinOf(wrapper, PINDIR_INPUT), nullptr);
        if (SUCCEEDED(hr)) hr = graph->ConnectDirect(PinOf(wrapper, PINDIR_OUTPUT), PinOf(encoder, PINDIR_INPUT), nullptr);
        return hr;
    }

    // Render, Run and wait, as the program's run does.
    HRESULT Convert(const WAVEFORMATEX* format) {
        if (FAILED(connectResult)) return connectResult;
        if (format && !ApplyFormat(encoder, *format)) return VFW_E_INVALIDMEDIATYPE;
        HRESULT hr = graph->Render(PinOf(encoder, PINDIR_OUTPUT));
        if (FAILED(hr)) return hr;
        hr = graph->Run();
        if (FAILED(hr)) return hr;
        long code = 0;
        hr = graph->WaitForCompletion(INFINITE, code);
        graph->StopWhenReady();
        return hr;
    }

    HRESULT sourceResult = E_FAIL;
    HRESULT connectResult = E_FAIL;

private:
    void CoCreate(const Guid& clsid, std::shared_ptr<IBaseFilter>& filter) {
        graph->Registry()->CreateInstance(clsid, filter);
    }
};

}  // namespace tessival::media::test
