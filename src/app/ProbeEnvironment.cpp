#include "app/ProbeEnvironment.h"

#include <algorithm>
#include <functional>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/version.h>
}

#include "engine/FindTypeFilter.h"
#include "engine/GraphToolkit.h"
#include "joblist/DestTypes.h"
#include "platform/media/ffmpeg/AvPtr.h"
#include "platform/media/filters/decoders/CodecSubtype.h"
#include "platform/media/filters/encoders/FileEncoders.h"
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

// The friendly name of the file encoder `name` when it offers at least one format.
std::string UsableFileEncoder(GraphToolkit& toolkit, const char* name) {
    auto encoder = toolkit.FindFilterInCategory(CLSID_FileEncoderCategory, name, -1);
    if (!encoder || toolkit.QualitiesOf(encoder).empty()) return {};
    return NameInGraph(*encoder);
}

// Stereo 48 kHz audio of a codec, as "Media Splitter" hands it on.
MediaType CodecStream(AVCodecID codec) {
    AvCodecParametersPtr parameters(avcodec_parameters_alloc());
    parameters->codec_type = AVMEDIA_TYPE_AUDIO;
    parameters->codec_id = codec;
    parameters->sample_rate = 48000;
    av_channel_layout_default(&parameters->ch_layout, 2);
    WAVEFORMATEX wave;
    wave.wFormatTag = 0;
    wave.nChannels = 2;
    wave.nSamplesPerSec = 48000;
    MediaType type = MediaType::Audio(wave);
    type.subtype = CodecSubtype(static_cast<std::uint32_t>(codec));
    type.codecParameters = std::move(parameters);
    return type;
}

// The Debian packages behind a file type's encoder: the codec library, and the external encoder
// library it wraps where it wraps one.
std::vector<std::string> FileEncoderPackages(std::string_view type, const std::string& codecs) {
    if (type == "LAME MP3") return {codecs, "libmp3lame0"};
    if (type == "Ogg Vorbis") return {codecs, "libvorbisenc2"};
    if (type == "Opus") return {codecs, "libopus0"};
    return {codecs};
}

// The codecs of the source types that only "Audio Decoder" reads, with the label the probe shows.
struct CodecCheck {
    const char* label;
    AVCodecID codec;
};
constexpr CodecCheck kSourceCodecs[] = {
    {"FLAC Decoder", AV_CODEC_ID_FLAC},       {"ALAC Decoder", AV_CODEC_ID_ALAC},
    {"AAC Decoder", AV_CODEC_ID_AAC},         {"Vorbis Decoder", AV_CODEC_ID_VORBIS},
    {"Opus Decoder", AV_CODEC_ID_OPUS},       {"WavPack Decoder", AV_CODEC_ID_WAVPACK},
    {"APE Decoder", AV_CODEC_ID_APE},         {"TTA Decoder", AV_CODEC_ID_TTA},
    {"AMR Decoder", AV_CODEC_ID_AMR_NB},      {"E-AC-3 Decoder", AV_CODEC_ID_EAC3},
    {"DTS Decoder", AV_CODEC_ID_DTS},         {"AIFF PCM Decoder", AV_CODEC_ID_PCM_S16BE},
};

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
    std::vector<Check> all = checks;
    for (const FileDestType& type : FileDestTypes()) {
        const char* name = type.encoder;
        all.push_back({{std::string(type.type) + " Encoder", IDS_MISSING_DECODERS, FileEncoderPackages(type.type, codecs),
                        {}},
                       [name](GraphToolkit& toolkit) { return UsableFileEncoder(toolkit, name); }});
    }
    for (const CodecCheck& check : kSourceCodecs)
        all.push_back({{check.label, IDS_MISSING_DECODERS, {codecs}, {}}, decoder("Audio Decoder", CodecStream(check.codec))});
    components_.clear();
    for (const Check& check : all) {
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
