#include "platform/devices/PulseCaptureSources.h"

#include <pulse/introspect.h>

#include <algorithm>

#include "platform/devices/PulseCaptureStream.h"
#include "platform/devices/PulseQuery.h"

namespace tessival {
namespace {

CaptureFormat FormatOf(const pa_sample_spec& spec) {
    CaptureFormat format;
    format.sampleRate = spec.rate;
    format.channels = spec.channels;
    switch (spec.format) {
    case PA_SAMPLE_U8: format.bitsPerSample = 8; break;
    case PA_SAMPLE_S24LE:
    case PA_SAMPLE_S24BE: format.bitsPerSample = 24; break;
    case PA_SAMPLE_S32LE:
    case PA_SAMPLE_S32BE:
    case PA_SAMPLE_S24_32LE:
    case PA_SAMPLE_S24_32BE: format.bitsPerSample = 32; break;
    case PA_SAMPLE_FLOAT32LE:
    case PA_SAMPLE_FLOAT32BE:
        format.bitsPerSample = 32;
        format.isFloat = true;
        break;
    default: format.bitsPerSample = 16; break;  // G.711 and 16-bit sources record as 16-bit
    }
    return format;
}

CaptureSourceInfo InfoOf(const pa_source_info& source) {
    CaptureSourceInfo info;
    info.serverIndex = source.index;
    info.name = source.name ? source.name : "";
    info.description = source.description && *source.description ? source.description : info.name;
    info.isMonitor = source.monitor_of_sink != PA_INVALID_INDEX;
    info.nativeFormat = FormatOf(source.sample_spec);
    for (std::uint32_t i = 0; i < source.n_ports; ++i) {
        const pa_source_port_info* port = source.ports[i];
        info.ports.push_back({port->name ? port->name : "", port->description ? port->description : ""});
    }
    if (source.active_port && source.active_port->name) info.activePort = source.active_port->name;
    return info;
}

void CollectSource(pa_context*, const pa_source_info* source, int eol, void* list) {
    if (eol || !source) return;
    static_cast<std::vector<CaptureSourceInfo>*>(list)->push_back(InfoOf(*source));
}

void TakeSuccess(pa_context*, int success, void* result) { *static_cast<int*>(result) = success; }

}  // namespace

PulseCaptureSources::PulseCaptureSources(std::chrono::milliseconds timeout) : timeout_(timeout) {}

std::vector<CaptureSourceInfo> PulseCaptureSources::ListSources() {
    PulseQuery query(timeout_);
    std::vector<CaptureSourceInfo> sources;
    if (!query.Connected()) return sources;
    if (!query.Await(pa_context_get_source_info_list(query.Context(), &CollectSource, &sources))) return {};
    std::stable_sort(sources.begin(), sources.end(), [](const CaptureSourceInfo& a, const CaptureSourceInfo& b) {
        return a.serverIndex < b.serverIndex;
    });
    return sources;
}

bool PulseCaptureSources::SetActivePort(const std::string& source, const std::string& port) {
    PulseQuery query(timeout_);
    if (!query.Connected()) return false;
    int success = 0;
    if (!query.Await(pa_context_set_source_port_by_name(query.Context(), source.c_str(), port.c_str(), &TakeSuccess,
                                                        &success)))
        return false;
    return success != 0;
}

std::unique_ptr<CaptureStream> PulseCaptureSources::OpenStream(const std::string& source, const CaptureFormat& format,
                                                               std::size_t bufferBytes) {
    auto stream = std::make_unique<PulseCaptureStream>(source, format, bufferBytes);
    if (!stream->Started()) return nullptr;
    return stream;
}

std::shared_ptr<CaptureSources> SystemCaptureSources() {
    static const std::shared_ptr<CaptureSources> sources = std::make_shared<PulseCaptureSources>();
    return sources;
}

}  // namespace tessival
