#include "app/ProbeEnvironment.h"

#include <algorithm>
#include <functional>
#include <string>

extern "C" {
#include <libavcodec/version.h>
}

#include "engine/FindTypeFilter.h"
#include "engine/GraphToolkit.h"
#include "platform/shell/Shell.h"
#include "res/ResourceIds.h"
#include "res/StringTable.h"

namespace tessival {
namespace {

using namespace media;

// The package of the codec library this program was built against (libavcodec59 on Debian 12):
// the PCM, MP3, WMA and AC-3 codecs all live there, the MP3 encoder in libmp3lame besides.
std::string CodecPackage() { return "libavcodec" + std::to_string(LIBAVCODEC_VERSION_MAJOR); }

// WAV Dest is Tessival's own filter; only a broken installation lacks it.
constexpr const char* kOwnPackage = "tessival";

MediaType CompressedAudio(std::uint16_t tag, std::uint32_t rate, std::uint32_t avgBytes, std::uint16_t blockAlign,
                          std::uint16_t bits) {
    WAVEFORMATEX wave;
    wave.wFormatTag = tag;
    wave.nChannels = 2;
    wave.nSamplesPerSec = rate;
    wave.nAvgBytesPerSec = avgBytes;
    wave.nBlockAlign = blockAlign;
    wave.wBitsPerSample = bits;
    return MediaType::Audio(wave);
}

// The name a filter was added under: its friendly name, as each check has a graph of its own.
std::string NameInGraph(IBaseFilter& filter) {
    FILTER_INFO info;
    return SUCCEEDED(filter.QueryFilterInfo(info)) ? info.achName : std::string();
}

// The friendly name of the compressor found by `prefix` when it offers at least one format.
std::string UsableEncoder(GraphToolkit& toolkit, const std::string& prefix) {
    if (prefix.empty()) return {};
    auto encoder = toolkit.AddAudioCompressor(prefix);
    if (!encoder || toolkit.QualitiesOf(encoder).empty()) return {};
    return NameInGraph(*encoder);
}

// The friendly name of the filter found by `prefix` when its input takes `stream`.
std::string UsableDecoder(GraphToolkit& toolkit, const std::string& prefix, const MediaType& stream) {
    if (prefix.empty()) return {};
    auto decoder = toolkit.AddFilterByName(prefix);
    auto input = decoder ? toolkit.GetPin(decoder, PINDIR_INPUT, 0) : nullptr;
    if (!input || input->QueryAccept(stream) != S_OK) return {};
    return NameInGraph(*decoder);
}

std::string CreatedWavDest(const FilterRegistry& registry) {
    std::shared_ptr<IBaseFilter> wavDest;
    return SUCCEEDED(registry.CreateInstance(CLSID_WavDest, wavDest)) && wavDest ? "WAV Dest" : "";
}

std::string FoundTypeFilter(Shell& shell, const char* type, const std::shared_ptr<const FilterRegistry>& registry) {
    std::string name;
    return FindTypeFilter(shell, type, name, registry) ? name : std::string();
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
    return text;
}

std::string PackagePage(const std::string& package) {
    return package == kOwnPackage ? std::string(kProductUrl) : "https://packages.debian.org/" + package;
}

}  // namespace

ProbeEnvironment::ProbeEnvironment(Shell& shell, std::shared_ptr<const FilterRegistry> registry)
    : shell_(shell), registry_(std::move(registry)) {}

void ProbeEnvironment::Probe() {
    using Finder = std::function<std::string(GraphToolkit&)>;
    struct Check {
        ProbedComponent component;
        Finder find;
    };
    const std::string codecs = CodecPackage();
    const auto encoderFor = [this](const char* type) -> Finder {
        return [this, type](GraphToolkit& toolkit) {
            return UsableEncoder(toolkit, FoundTypeFilter(shell_, type, registry_));
        };
    };
    const auto decoder = [](std::string prefix, MediaType stream) -> Finder {
        return [prefix, stream](GraphToolkit& toolkit) { return UsableDecoder(toolkit, prefix, stream); };
    };
    const std::vector<Check> checks = {
        {{"PCM Encoder", IDS_NEED_DIRECTX, {codecs}, {}}, [](GraphToolkit& t) { return UsableEncoder(t, "PCM"); }},
        {{"WAV Dest", IDS_NEED_DIRECTX, {kOwnPackage}, {}}, [this](GraphToolkit&) { return CreatedWavDest(*registry_); }},
        {{"MP3 Encoder", IDS_MISSING_DECODERS, {codecs, "libmp3lame0"}, {}}, encoderFor("MP3")},
        {{"MP3 Decoder", IDS_MISSING_DECODERS, {codecs}, {}},
         decoder("MPEG Layer-3 Decoder", CompressedAudio(WAVE_FORMAT_MPEGLAYER3, 44100, 16000, 1, 0))},
        {{"WMA Encoder", IDS_MISSING_DECODERS, {codecs}, {}}, encoderFor("WMA")},
        {{"WMA Decoder", IDS_MISSING_DECODERS, {codecs}, {}},
         decoder("Windows Media Audio Decoder", CompressedAudio(WAVE_FORMAT_WMAUDIO2, 44100, 16000, 2973, 16))},
        {{"DVD AC3 Decoder", IDS_MISSING_DECODERS, {codecs}, {}},
         [this](GraphToolkit& toolkit) {
             return UsableDecoder(toolkit, FoundTypeFilter(shell_, "VOB", registry_),
                                  CompressedAudio(WAVE_FORMAT_DOLBY_AC3, 48000, 24000, 768, 0));
         }},
    };
    components_.clear();
    for (const Check& check : checks) {
        GraphToolkit toolkit(shell_, registry_);
        components_.push_back(check.component);
        components_.back().filterName = check.find(toolkit);
    }
}

bool ProbeEnvironment::NothingMissing() const {
    return std::all_of(components_.begin(), components_.end(), [](const auto& c) { return c.Present(); });
}

std::vector<ProbeOffer> ProbeEnvironment::Offers() const {
    std::vector<ProbeOffer> offers;
    for (int id : {IDS_NEED_DIRECTX, IDS_MISSING_DECODERS}) {
        std::vector<std::string> missing, packages;
        for (const ProbedComponent& component : components_) {
            if (component.messageId != id || component.Present()) continue;
            missing.push_back(component.label);
            for (const std::string& package : component.packages)
                if (std::find(packages.begin(), packages.end(), package) == packages.end()) packages.push_back(package);
        }
        if (missing.empty()) continue;
        const std::string install = LoadStringWith(IDS_PROBE_DEBIAN_PACKAGES, Joined(packages, " "));
        if (id == IDS_NEED_DIRECTX) {
            // Message 128 names nothing itself.
            const std::string named = LoadStringWith(IDS_PROBE_MISSING_HERE, Joined(missing, ", "));
            offers.push_back({id, LoadString(id) + "\n\n" + named + "\n" + install, PackagePage(packages.front())});
        } else {
            const std::string lines = Joined(missing, "\n") + "\n";
            offers.push_back({id, LoadStringWith(id, lines) + "\n\n" + install, kEncoderDownloadUrl});
        }
    }
    return offers;
}

void ProbeEnvironment::Run() {
    // The Windows start-up also deleted an old lameACM.acm, copied its own MP3 codec (L3codeca.acm)
    // into the system directory and registered msadds.ax; here the codecs come with the system's
    // codec library, so there is nothing to copy or register.
    Probe();
    // WAV Dest was copied and registered with regsvr32 when missing; here it is compiled into the
    // program and registered in the filter registry's own set-up, so a missing one is only reported.
    for (const ProbeOffer& offer : Offers()) {
        if (shell_.MessageBox(offer.text, MessageButtons::OkCancel) == IDOK) shell_.ShellOpen(offer.target);
    }
}

}  // namespace tessival
