#pragma once

// The typed source chains of the engine, built by hand from the filters' friendly names and
// joined pin to pin, ending in the "PCM" compressor, "WAV Dest" and "File Writer"; the same
// graph the program builds for a WAV (PCM) destination.
#include <string>
#include <vector>

#include "platform/media/FilterGraph.h"
#include "platform/media/OptionalInterfaces.h"
#include "platform/media/QueryInterface.h"
#include "platform/media/WaveGraph.h"

namespace tessival::media::test {

enum class ChainKind { WindowsMedia, Mpeg, Vob, Avi, Wave, Mp3, Media };

struct CodecsChain {
    std::shared_ptr<FilterGraph> graph = CreateFilterGraph();
    std::vector<std::shared_ptr<IBaseFilter>> slots;
    std::shared_ptr<IBaseFilter> encoder, wavDest, fileWriter;
    HRESULT built = E_FAIL;

    // chosen: the encoder's format, set before the chain reaches it as the program's run does.
    CodecsChain(ChainKind kind, const std::string& source, const std::string& dest,
                const std::string& encoderName = "PCM", const WAVEFORMATEX* chosen = nullptr) {
        graph->Registry()->CreateInstance(CLSID_WavDest, wavDest);
        graph->Registry()->CreateInstance(CLSID_FileWriter, fileWriter);
        graph->AddFilter(wavDest, "WAV Dest");
        graph->AddFilter(fileWriter, "File Writer");
        if (auto sink = QueryInterface<IFileSinkFilter2>(fileWriter)) {
            sink->SetMode(AM_FILE_OVERWRITE);
            sink->SetFileName(dest, nullptr);
        }
        encoder = AddByName(*graph, CLSID_AudioCompressorCategory, encoderName);
        if (chosen && !ApplyFormat(encoder, *chosen)) return;
        built = Build(kind, source);
        if (SUCCEEDED(built)) built = Connect(Last(), 0, encoder);
    }

    // Render, Run and wait, as the program's run does.
    HRESULT Convert(const WAVEFORMATEX* format = nullptr) {
        if (FAILED(built)) return built;
        if (format && !ApplyFormat(encoder, *format)) return VFW_E_INVALIDMEDIATYPE;
        HRESULT hr = graph->Render(PinOf(encoder, PINDIR_OUTPUT));
        if (SUCCEEDED(hr)) hr = graph->Run();
        if (FAILED(hr)) return hr;
        long code = 0;
        hr = graph->WaitForCompletion(INFINITE, code);
        graph->StopWhenReady();
        return hr;
    }

private:
    std::shared_ptr<IBaseFilter> Last() const { return slots.empty() ? nullptr : slots.back(); }

    HRESULT Connect(const std::shared_ptr<IBaseFilter>& from, int output, const std::shared_ptr<IBaseFilter>& to) {
        auto out = PinOf(from, PINDIR_OUTPUT, output);
        auto in = PinOf(to, PINDIR_INPUT);
        if (!out || !in) return E_POINTER;
        return graph->ConnectDirect(out, in, nullptr);
    }

    // Second output first, then the first, as the chains of splitters with video do.
    HRESULT ConnectAudioOutput(const std::shared_ptr<IBaseFilter>& from, const std::shared_ptr<IBaseFilter>& to) {
        return SUCCEEDED(Connect(from, 1, to)) ? S_OK : Connect(from, 0, to);
    }

    HRESULT AddAll(const std::vector<std::string>& names) {
        for (const auto& name : names) {
            slots.push_back(AddByName(*graph, CLSID_LegacyAmFilterCategory, name));
            if (!slots.back()) return E_FAIL;
        }
        return S_OK;
    }

    HRESULT Build(ChainKind kind, const std::string& source) {
        if (kind == ChainKind::WindowsMedia) return BuildWindowsMedia(source);
        std::shared_ptr<IBaseFilter> reader;
        const HRESULT hr = graph->AddSourceFilter(source, source, reader);
        if (FAILED(hr)) return hr;
        slots.push_back(reader);
        switch (kind) {
        case ChainKind::Mpeg: return Parsed({"MPEG-I Stream Splitter", "MPEG Audio Decoder", "ACM Wrapper"}, true);
        case ChainKind::Vob: return Parsed({"MPEG-2 Splitter", "AC3Filter", "ACM Wrapper"}, true);
        case ChainKind::Avi: return Parsed({"AVI Splitter", "ACM Wrapper"}, true);
        case ChainKind::Wave: return Parsed({"Wave Parser", "ACM Wrapper"}, false);
        case ChainKind::Mp3: return Parsed({"MPEG-I Stream Splitter", "MPEG Layer-3 Decoder"}, false);
        case ChainKind::Media: return Parsed({"Media Splitter", "Audio Decoder"}, false);
        default: return E_FAIL;
        }
    }

    HRESULT Parsed(const std::vector<std::string>& names, bool audioOnSecond) {
        HRESULT hr = AddAll(names);
        if (SUCCEEDED(hr)) hr = Connect(slots[0], 0, slots[1]);
        if (SUCCEEDED(hr)) hr = audioOnSecond ? ConnectAudioOutput(slots[1], slots[2]) : Connect(slots[1], 0, slots[2]);
        for (std::size_t i = 2; SUCCEEDED(hr) && i + 1 < slots.size(); ++i) hr = Connect(slots[i], 0, slots[i + 1]);
        return hr;
    }

    HRESULT BuildWindowsMedia(const std::string& source) {
        HRESULT hr = AddAll({"Windows Media source filter", "ASF ACM Handler", "Windows Media Audio Decoder", "ACM Wrapper"});
        auto loader = QueryInterface<IFileSourceFilter>(slots[0]);
        if (SUCCEEDED(hr)) hr = loader ? loader->Load(source, nullptr) : E_NOINTERFACE;
        if (SUCCEEDED(hr)) hr = SUCCEEDED(Connect(slots[0], 0, slots[1])) ? S_OK : Connect(slots[0], 1, slots[1]);
        if (SUCCEEDED(hr)) hr = Connect(slots[1], 0, slots[2]);
        if (SUCCEEDED(hr)) hr = Connect(slots[2], 0, slots[3]);
        return hr;
    }
};

}  // namespace tessival::media::test
