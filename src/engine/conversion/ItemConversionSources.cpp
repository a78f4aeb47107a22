// The source half of an item's graph: a typed chain by source type, or the generic chain rebuilt
// from a test rendering of the file.
#include <algorithm>
#include <optional>

#include "engine/conversion/ItemConversion.h"
#include "engine/CaptureDevices.h"
#include "engine/FindTypeFilter.h"
#include "joblist/SourceKind.h"
#include "joblist/TextField.h"
#include "platform/media/QueryInterface.h"
#include "platform/media/TrackStream.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

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

std::shared_ptr<IPin> ItemConversion::Out(int slot, int index) { return toolkit_.GetPin(chain_[slot], PINDIR_OUTPUT, index); }

std::shared_ptr<IPin> ItemConversion::In(int slot) { return toolkit_.GetPin(chain_[slot], PINDIR_INPUT, 0); }

HRESULT ItemConversion::ConnectPins(const std::shared_ptr<IPin>& output, const std::shared_ptr<IPin>& input) {
    if (!output || !input) return E_POINTER;
    return toolkit_.Graph().ConnectDirect(output, input, nullptr);
}

std::shared_ptr<IBaseFilter> ItemConversion::AddNamedFilter(const std::string& name) {
    auto filter = toolkit_.AddFilterByName(name);
    filterMissing_ = filterMissing_ || !filter;
    return filter;
}

bool ItemConversion::AddFileSource(const std::string& sourceFilterName) {
    AddNamedFilter(sourceFilterName);  // stays in the graph unconnected
    std::shared_ptr<IBaseFilter> source;
    toolkit_.AddSourceFile(source_, source);
    chain_[0] = source;
    return chain_[0] != nullptr;
}

std::shared_ptr<IFileSourceFilter> ItemConversion::LoadNamedSource(int slot, const std::string& name) {
    chain_[slot] = AddNamedFilter(name);
    auto source = QueryInterface<IFileSourceFilter>(chain_[slot]);
    const auto trackType = source_.track ? std::optional(TrackStreamType(*source_.track)) : std::nullopt;
    // A file it cannot read, or a track it cannot cut, shows when connecting.
    if (source) source->Load(source_.file, trackType ? &*trackType : nullptr);
    return source;
}

std::shared_ptr<IPin> ItemConversion::BuildTypedChain() {
    const std::string type(FieldView(item_.sourceType).substr(0, 3));
    if (type == "ASF" || type == "WMA" || type == "WMV") return BuildWindowsMediaChain();
    if (type == "MPG" || type == "DAT") return BuildFileChain({kMpeg1Splitter, "MPEG Audio Decoder", kAcmWrapper}, true);
    if (type == "VOB") {
        std::string decoder;
        // No AC3 decoder leaves its slot empty, which fails the chain.
        if (!FindTypeFilter(services_.shell, "VOB", decoder, services_.registry)) decoder.clear();
        return BuildFileChain({"MPEG-2 Splitter", decoder, kAcmWrapper}, true);
    }
    if (type == "AVI") return BuildFileChain({"AVI Splitter", kAcmWrapper}, true);
    if (type == "WAV") return BuildFileChain({"Wave Parser", kAcmWrapper}, false);
    if (type == "MP3") return BuildFileChain({kMpeg1Splitter, "MPEG Layer-3 Decoder"}, false);
    switch (SourceKindOf(item_)) {
        case SourceKind::CdTrack: return BuildCdTrackChain();
        case SourceKind::Capture: return BuildCaptureChain();
        case SourceKind::File: return nullptr;
    }
    return nullptr;
}

std::shared_ptr<IPin> ItemConversion::BuildFileChain(const std::vector<std::string>& names, bool trySecondSplitterOutput) {
    AddFileSource(kFileSource);
    bool complete = chain_[0] != nullptr;
    for (std::size_t k = 0; k < names.size(); ++k) {
        const int slot = static_cast<int>(k) + 1;
        chain_[slot] = names[k].empty() ? nullptr : AddNamedFilter(names[k]);
        filterMissing_ = filterMissing_ || names[k].empty();
        complete = complete && chain_[slot];
    }
    if (!complete) {
        Fail(IDS_SOURCE_UNSUPPORTED);
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
        Fail(IDS_SOURCE_INCOMPATIBLE);
        return nullptr;
    }
    return Out(last, 0);
}

std::shared_ptr<IPin> ItemConversion::BuildWindowsMediaChain() {
    fileSource_ = LoadNamedSource(0, kWindowsMediaSource);
    if (!chain_[0] || !fileSource_) {
        Fail(IDS_SOURCE_UNSUPPORTED);
        return nullptr;
    }
    chain_[1] = AddNamedFilter(kAsfAcmHandler);
    chain_[2] = AddNamedFilter(kWmaDecoder);
    chain_[3] = AddNamedFilter(kAcmWrapper);
    if (!chain_[1] || !chain_[2] || !chain_[3]) {
        Fail(IDS_SOURCE_UNSUPPORTED);
        return nullptr;
    }
    const bool connected = (SUCCEEDED(ConnectPins(Out(0, 0), In(1))) || SUCCEEDED(ConnectPins(Out(0, 1), In(1)))) &&
                           SUCCEEDED(ConnectPins(Out(1, 0), In(2))) && SUCCEEDED(ConnectPins(Out(2, 0), In(3)));
    return connected ? Out(3, 0) : BuildWindowsMediaFallback();
}

std::shared_ptr<IPin> ItemConversion::BuildWindowsMediaFallback() {
    // The first attempt's filters stay in the graph; slot 3 keeps its ACM Wrapper.
    chain_[0].reset();
    chain_[1].reset();
    chain_[2].reset();
    AddFileSource(kWindowsMediaSource);
    chain_[1] = AddNamedFilter(kAsfAcmHandler);
    chain_[2] = AddNamedFilter(kAcmWrapper);
    if (!chain_[0] || !chain_[1] || !chain_[2]) {
        Fail(IDS_SOURCE_UNSUPPORTED);
        return nullptr;
    }
    const bool connected = (SUCCEEDED(ConnectPins(Out(0, 0), In(1))) || SUCCEEDED(ConnectPins(Out(0, 1), In(1)))) &&
                           SUCCEEDED(ConnectPins(Out(1, 0), In(2)));
    if (!connected) {
        Fail(IDS_SOURCE_INCOMPATIBLE);
        return nullptr;
    }
    return Out(2, 0);
}

std::shared_ptr<IPin> ItemConversion::BuildCdTrackChain() {
    fileSource_ = LoadNamedSource(1, "WMP CD Filter");
    if (!chain_[1] || !fileSource_) {
        Fail(IDS_SOURCE_UNSUPPORTED);
        return nullptr;
    }
    // An empty drive or a broken image says so, rather than leaving it to the generic chain.
    if (ReportDiscProblem()) return nullptr;
    return Out(1, 0);
}

std::shared_ptr<IPin> ItemConversion::BuildCaptureChain() {
    // Devices come and go and their order with them: the item records from the device it names.
    const std::string deviceName = ReadField(item_.sourceName);
    const int device = FindCaptureDevice(toolkit_, deviceName, sizeof item_.sourceName, item_.captureDevice);
    if (device < 0) {
        Fail(0);
        outcome_.detail = LoadStringWith(IDS_CAPTURE_DEVICE_MISSING, deviceName);
        return nullptr;
    }
    captureFilter_ = toolkit_.AddAudioInputDevice(device);
    if (!captureFilter_) {
        Fail(IDS_SOURCE_UNSUPPORTED);
        return nullptr;
    }
    toolkit_.SelectInputLine(captureFilter_, item_.captureInput + 1, item_.captureInput);
    chain_[0] = AddNamedFilter(kAcmWrapper);
    if (!chain_[0]) {
        Fail(IDS_SOURCE_UNSUPPORTED);
        return nullptr;
    }
    if (FAILED(ConnectPins(toolkit_.GetPin(captureFilter_, PINDIR_OUTPUT, 0), In(0)))) {
        Fail(IDS_SOURCE_INCOMPATIBLE);
        return nullptr;
    }
    return Out(0, 0);
}

bool ItemConversion::BuildGenericChain() {
    analysis_ = SourceAnalyzer(services_.shell, services_.registry).Analyze(source_);
    if (analysis_.mainPath.empty()) return false;
    if (analysis_.branchPath.empty() && analysis_.audioOnMain == 0) return false;

    chainNames_.clear();
    const int splitter = analysis_.splitterIndex;
    for (int i = 0; i <= splitter && i < static_cast<int>(analysis_.filters.size()); ++i)
        chainNames_.push_back(analysis_.filters[static_cast<std::size_t>(i)]);
    if (analysis_.audioOnMain != 0) {
        for (std::size_t i = static_cast<std::size_t>(splitter + 1); i < analysis_.mainPath.size(); ++i)
            chainNames_.push_back(analysis_.mainPath[i]);
    } else {
        chainNames_.insert(chainNames_.end(), analysis_.branchPath.begin(), analysis_.branchPath.end());
    }

    if (analysis_.asyncSource) {
        AddFileSource(kFileSource);
    } else {
        fileSource_ = LoadNamedSource(0, kAsfReader);
        if (!chain_[0] || !fileSource_) {
            Fail(IDS_SOURCE_UNSUPPORTED);
            return false;
        }
    }

    // The scratch graph's source (named after the file) and its final renderer are not rebuilt.
    lastSlot_ = 0;
    const int lastName = static_cast<int>(chainNames_.size()) - 2;
    for (int k = 1; k <= lastName && k < kChainSlots; ++k) {
        chain_[k] = AddNamedFilter(chainNames_[static_cast<std::size_t>(k)]);
        if (!chain_[k]) break;
        lastSlot_ = k;
    }

    ConnectGenericChain(splitter);
    return true;
}

// Links the chain's filters in order; a link that fails ends the chain before it, so the encoder
// is attached to the last filter the audio really reaches.
void ItemConversion::ConnectGenericChain(int splitter) {
    const int select = analysis_.audioOnMain == 0 ? 1 : 0;
    for (int k = 0; k < lastSlot_; ++k) {
        const int output = (k == splitter) ? select : 0;
        if (FAILED(ConnectPins(Out(k, output), In(k + 1)))) {
            lastSlot_ = k;
            return;
        }
    }
}

bool ItemConversion::AttachGenericChain(const std::shared_ptr<IPin>& encoderInput) {
    for (;;) {
        if (SUCCEEDED(ConnectPins(DetachLastOutput(), encoderInput))) return true;
        if (lastSlot_ <= 0) return false;
        --lastSlot_;
    }
}

std::shared_ptr<IPin> ItemConversion::DetachLastOutput() {
    if (lastSlot_ < 0 || !chain_[lastSlot_]) return nullptr;
    auto output = Out(lastSlot_, 0);
    if (!output) return nullptr;
    std::shared_ptr<IPin> peer;
    if (SUCCEEDED(output->ConnectedTo(peer)) && peer) {
        output->Disconnect();
        peer->Disconnect();
    }
    return output;
}

}  // namespace tessival
