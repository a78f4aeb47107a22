// tessival-cli graph FILE: the graph that RenderFile builds for a file.
#include <cstdio>

#include "cli/CliCommand.h"
#include "platform/media/FilterGraph.h"

namespace tessival::cli {
namespace {

using namespace tessival::media;

std::string FilterName(const std::shared_ptr<IBaseFilter>& filter) {
    FILTER_INFO info;
    if (!filter || FAILED(filter->QueryFilterInfo(info))) return "?";
    return info.achName;
}

std::string Describe(const MediaType& type) {
    if (const WAVEFORMATEX* wave = type.WaveFormat()) {
        char text[96];
        std::snprintf(text, sizeof text, "audio tag 0x%04X, %u Hz, %u ch, %u bit", wave->wFormatTag,
                      wave->nSamplesPerSec, wave->nChannels, wave->wBitsPerSample);
        return text;
    }
    if (type.majorType == MEDIATYPE_Stream) return "byte stream";
    if (type.majorType == MEDIATYPE_Video) return "video";
    return "other";
}

void PrintConnections(const std::shared_ptr<IBaseFilter>& filter) {
    for (const auto& pin : PinsOf(*filter, PINDIR_OUTPUT)) {
        std::shared_ptr<IPin> peer;
        if (FAILED(pin->ConnectedTo(peer))) continue;
        PIN_INFO out, in;
        MediaType type;
        pin->QueryPinInfo(out);
        peer->QueryPinInfo(in);
        pin->ConnectionMediaType(type);
        std::printf("  %s [%s] -> %s [%s]: %s\n", FilterName(filter).c_str(), out.achName.c_str(),
                    FilterName(in.pFilter).c_str(), in.achName.c_str(), Describe(type).c_str());
    }
}

int Graph(const std::vector<std::string>& args) {
    if (args.size() != 1) return UsageError("usage: tessival-cli graph FILE");
    auto graph = CreateFilterGraph();
    const HRESULT hr = graph->RenderFile(args[0], "");
    if (FAILED(hr)) return Failure("cannot render '" + args[0] + "': " + HResultToString(hr));
    std::shared_ptr<IEnumFilters> filters;
    graph->EnumFilters(filters);
    std::printf("filters:\n");
    for (const auto& filter : filters->All()) std::printf("  %s\n", FilterName(filter).c_str());
    // Connections from the source on, the order they were made in.
    std::printf("connections:\n");
    for (auto it = filters->All().rbegin(); it != filters->All().rend(); ++it) PrintConnections(*it);
    return kExitOk;
}

const CommandRegistration registration({"graph", "FILE", "print the filters and connections RenderFile builds for FILE",
                                        Graph});

}  // namespace
}  // namespace tessival::cli
