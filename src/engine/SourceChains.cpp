// The source half of an item's graph: a typed chain by source type, or the generic chain rebuilt
// from a test rendering of the file.
#include <algorithm>

#include "engine/ConvertEngine.h"
#include "engine/FindTypeFilter.h"
#include "joblist/TextField.h"
#include "platform/media/QueryInterface.h"
#include "res/ResourceIds.h"

namespace tessival {

using namespace media;

namespace {

constexpr const char* kFileSource = "File Source (Async.)";
constexpr const char* kWindowsMediaSource = "Windows Media source filter";
constexpr const char* kAsfReader = "WM ASF Reader";
constexpr const char* kAsfAcmHandler = "ASF ACM Handler";
constexpr const char* kWmaDecoder = "Windows Media Audio Decoder";
constexpr const char* kAcmWrapper = "ACM Wrapper";
constexpr const char* kMpeg1Splitter = "MPEG-I Stream Splitter";

}  // namespace

std::shared_ptr<IPin> ConvertEngine::Out(int slot, int index) { return GetPin(chain[slot], PINDIR_OUTPUT, index); }

std::shared_ptr<IPin> ConvertEngine::In(int slot) { return GetPin(chain[slot], PINDIR_INPUT, 0); }

HRESULT ConvertEngine::ConnectPins(const std::shared_ptr<IPin>& output, const std::shared_ptr<IPin>& input) {
    if (!output || !input || !graph) return E_POINTER;
    return graph->ConnectDirect(output, input, nullptr);
}

bool ConvertEngine::AddFileSource(const std::string& sourceFilterName) {
    AddFilterByName(sourceFilterName);  // stays in the graph unconnected
    std::shared_ptr<IBaseFilter> source;
    AddSourceFile(sourceFile, source);
    chain[0] = source;
    return chain[0] != nullptr;
}

std::shared_ptr<IFileSourceFilter> ConvertEngine::LoadNamedSource(int slot, const std::string& name,
                                                                  const std::string& path) {
    chain[slot] = AddFilterByName(name);
    auto source = QueryInterface<IFileSourceFilter>(chain[slot]);
    if (source) source->Load(path, nullptr);  // a file it cannot read shows when connecting
    return source;
}

std::shared_ptr<IPin> ConvertEngine::BuildSourceChain(ConvertItem& item) {
    sourceFile = ReadField(item.sourcePath);
    const std::string type(FieldView(item.sourceType).substr(0, 3));
    if (type == "ASF" || type == "WMA" || type == "WMV") return BuildWindowsMediaChain(item);
    if (type == "MPG" || type == "DAT") return BuildFileChain({kMpeg1Splitter, "MPEG Audio Decoder", kAcmWrapper}, true);
    if (type == "VOB") {
        std::string decoder;
        // No AC3 decoder leaves its slot empty, which fails the chain.
        if (!FindTypeFilter(shell(), "VOB", decoder, registry())) decoder.clear();
        return BuildFileChain({"MPEG-2 Splitter", decoder, kAcmWrapper}, true);
    }
    if (type == "AVI") return BuildFileChain({"AVI Splitter", kAcmWrapper}, true);
    if (type == "WAV") return BuildFileChain({"Wave Parser", kAcmWrapper}, false);
    if (type == "MP3") return BuildFileChain({kMpeg1Splitter, "MPEG Layer-3 Decoder"}, false);
    if (type == "CDA") return BuildCdTrackChain(item);
    if (type == "CAP") return BuildCaptureChain(item);
    return nullptr;
}

std::shared_ptr<IPin> ConvertEngine::BuildFileChain(const std::vector<std::string>& names, bool trySecondSplitterOutput) {
    AddFileSource(kFileSource);
    bool complete = chain[0] != nullptr;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const int slot = static_cast<int>(k) + 1;
        chain[slot] = names[k].empty() ? nullptr : AddFilterByName(names[k]);
        complete = complete && chain[slot];
    }
    if (!complete) {
        SetItemError(IDS_SOURCE_UNSUPPORTED);
        return nullptr;
    }
    const int last = static_cast<int>(names.size());
    bool connected = SUCCEEDED(ConnectPins(Out(0, 0), In(1)));
    if (connected && last >= 2) {
        connected = (trySecondSplitterOutput && SUCCEEDED(ConnectPins(Out(1, 1), In(2)))) ||
                    SUCCEEDED(ConnectPins(Out(1, 0), In(2)));
    }
    for (int slot = 2; connected && slot < last; ++slot) connected = SUCCEEDED(ConnectPins(Out(slot, 0), In(slot + 1)));
    if (!connected) {
        SetItemError(IDS_SOURCE_INCOMPATIBLE);
        return nullptr;
    }
    return Out(last, 0);
}

std::shared_ptr<IPin> ConvertEngine::BuildWindowsMediaChain(ConvertItem& item) {
    fileSource = LoadNamedSource(0, kWindowsMediaSource, ReadField(item.sourcePath));
    if (!chain[0] || !fileSource) {
        SetItemError(IDS_SOURCE_UNSUPPORTED);
        return nullptr;
    }
    chain[1] = AddFilterByName(kAsfAcmHandler);
    chain[2] = AddFilterByName(kWmaDecoder);
    chain[3] = AddFilterByName(kAcmWrapper);
    if (!chain[1] || !chain[2] || !chain[3]) {
        SetItemError(IDS_SOURCE_UNSUPPORTED);
        return nullptr;
    }
    const bool connected = (SUCCEEDED(ConnectPins(Out(0, 0), In(1))) || SUCCEEDED(ConnectPins(Out(0, 1), In(1)))) &&
                           SUCCEEDED(ConnectPins(Out(1, 0), In(2))) && SUCCEEDED(ConnectPins(Out(2, 0), In(3)));
    return connected ? Out(3, 0) : BuildWindowsMediaFallback();
}

std::shared_ptr<IPin> ConvertEngine::BuildWindowsMediaFallback() {
    // The first attempt's filters stay in the graph; slot 3 keeps its ACM Wrapper.
    chain[0].reset();
    chain[1].reset();
    chain[2].reset();
    AddFileSource(kWindowsMediaSource);
    chain[1] = AddFilterByName(kAsfAcmHandler);
    chain[2] = AddFilterByName(kAcmWrapper);
    if (!chain[0] || !chain[1] || !chain[2]) {
        SetItemError(IDS_SOURCE_UNSUPPORTED);
        return nullptr;
    }
    const bool connected = (SUCCEEDED(ConnectPins(Out(0, 0), In(1))) || SUCCEEDED(ConnectPins(Out(0, 1), In(1)))) &&
                           SUCCEEDED(ConnectPins(Out(1, 0), In(2)));
    if (!connected) {
        SetItemError(IDS_SOURCE_INCOMPATIBLE);
        return nullptr;
    }
    return Out(2, 0);
}

std::shared_ptr<IPin> ConvertEngine::BuildCdTrackChain(ConvertItem& item) {
    fileSource = LoadNamedSource(1, "WMP CD Filter", ReadField(item.sourcePath));
    if (!chain[1] || !fileSource) {
        SetItemError(IDS_SOURCE_UNSUPPORTED);
        return nullptr;
    }
    // An empty drive or a broken image says so, rather than leaving it to the generic chain.
    if (ReportDiscProblem()) return nullptr;
    return Out(1, 0);
}

std::shared_ptr<IPin> ConvertEngine::BuildCaptureChain(ConvertItem& item) {
    captureFilter = AddAudioInputDevice(item.captureDevice);
    if (!captureFilter) {
        SetItemError(IDS_SOURCE_UNSUPPORTED);
        return nullptr;
    }
    SelectInputLine(captureFilter, item.captureInput + 1, item.captureInput);
    chain[0] = AddFilterByName(kAcmWrapper);
    if (!chain[0]) {
        SetItemError(IDS_SOURCE_UNSUPPORTED);
        return nullptr;
    }
    if (FAILED(ConnectPins(GetPin(captureFilter, PINDIR_OUTPUT, 0), In(0)))) {
        SetItemError(IDS_SOURCE_INCOMPATIBLE);
        return nullptr;
    }
    return Out(0, 0);
}

bool ConvertEngine::BuildGenericSourceChain(ConvertItem& item) {
    analyzer.Analyze(ReadField(item.sourcePath));
    if (analyzer.mainPath.empty()) return false;
    if (analyzer.branchPath.empty() && analyzer.audioOnMain == 0) return false;

    chainNames.clear();
    const int splitter = analyzer.splitterIndex;
    for (int i = 0; i <= splitter && i < static_cast<int>(analyzer.filterList.size()); ++i)
        chainNames.push_back(analyzer.filterList[static_cast<std::size_t>(i)].name);
    if (analyzer.audioOnMain != 0) {
        for (std::size_t i = static_cast<std::size_t>(splitter + 1); i < analyzer.mainPath.size(); ++i)
            chainNames.push_back(analyzer.mainPath[i].name);
    } else {
        for (const FilterRecord& record : analyzer.branchPath) chainNames.push_back(record.name);
    }

    sourceFile = ReadField(item.sourcePath);
    if (analyzer.asyncSource) {
        AddFileSource(kFileSource);
    } else {
        fileSource = LoadNamedSource(0, kAsfReader, sourceFile);
        if (!chain[0] || !fileSource) {
            SetItemError(IDS_SOURCE_UNSUPPORTED);
            return false;
        }
    }

    // The scratch graph's source (named after the file) and its final renderer are not rebuilt.
    lastChainIndex = 0;
    const int lastName = static_cast<int>(chainNames.size()) - 2;
    for (int k = 1; k <= lastName && k < kChainSlots; ++k) {
        chain[k] = AddFilterByName(chainNames[static_cast<std::size_t>(k)]);
        if (!chain[k]) break;
        lastChainIndex = k;
    }

    const int select = analyzer.audioOnMain == 0 ? 1 : 0;
    if (splitter == 0) {
        ConnectPins(Out(0, select), In(1));
    } else {
        ConnectPins(Out(0, 0), In(1));
        ConnectPins(Out(1, select), In(2));
    }
    for (int k = std::max(splitter + 1, 0); k < lastChainIndex; ++k) ConnectPins(Out(k, 0), In(k + 1));
    return true;
}

std::shared_ptr<IPin> ConvertEngine::DetachLastOutput() {
    if (lastChainIndex < 0 || !chain[lastChainIndex]) return nullptr;
    auto output = Out(lastChainIndex, 0);
    if (!output) return nullptr;
    std::shared_ptr<IPin> peer;
    if (SUCCEEDED(output->ConnectedTo(peer)) && peer) {
        output->Disconnect();
        peer->Disconnect();
    }
    return output;
}

}  // namespace tessival
