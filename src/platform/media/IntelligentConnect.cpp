#include "platform/media/IntelligentConnect.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <optional>

#include "platform/media/OptionalInterfaces.h"
#include "platform/media/QueryInterface.h"
#include "platform/media/TrackStream.h"

namespace tessival::media {
namespace {

// Deep enough for source, parser, decoder, converter, renderer and then some; guards against
// filters that would feed each other forever.
constexpr int kMaxDepth = 12;

bool IsConnected(const std::shared_ptr<IPin>& pin) {
    std::shared_ptr<IPin> peer;
    return SUCCEEDED(pin->ConnectedTo(peer));
}

std::shared_ptr<IBaseFilter> OwnerOf(const std::shared_ptr<IPin>& pin) {
    PIN_INFO info;
    pin->QueryPinInfo(info);
    return info.pFilter;
}

// The first bytes of a file, for choosing its source filter. False when it cannot be opened or
// is not a plain file (a FIFO would wait for a writer, a device would never end).
bool ReadHead(const std::string& path, std::vector<std::uint8_t>& head) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    head.resize(4096);
    const ssize_t got = ::pread(fd, head.data(), head.size(), 0);
    ::close(fd);
    head.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return got >= 0;
}

}  // namespace

HRESULT IntelligentConnect::Render(const std::shared_ptr<IPin>& output) {
    if (!output) return E_POINTER;
    PIN_DIRECTION direction;
    output->QueryDirection(direction);
    if (direction != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
    if (IsConnected(output)) return VFW_E_ALREADY_CONNECTED;
    const HRESULT hr = RenderPin(output, 0);
    if (FAILED(hr)) Rollback({0, 0});
    return hr;
}

HRESULT IntelligentConnect::RenderFile(const SourceLocation& location) {
    std::shared_ptr<IBaseFilter> source;
    const HRESULT hr = AddSourceFilter(location, location.file, source);
    if (FAILED(hr)) return hr;
    const HRESULT rendered = RenderOutputs(source, 0);
    if (FAILED(rendered)) {
        Rollback({0, 0});
        graph_.RemoveFilter(source);
    }
    return rendered;
}

HRESULT IntelligentConnect::Connect(const std::shared_ptr<IPin>& output, const std::shared_ptr<IPin>& input) {
    if (!output || !input) return E_POINTER;
    if (SUCCEEDED(graph_.ConnectDirect(output, input, nullptr))) return S_OK;
    std::vector<MediaType> types;
    output->EnumMediaTypes(types);
    for (const FilterEntry& entry : graph_.Registry()->ConnectCandidates(types)) {
        const Checkpoint mark = Mark();
        auto filter = entry.factory();
        if (!filter || FAILED(AddFilterJournalled(filter, entry.friendlyName.value_or("")))) continue;
        for (const auto& filterInput : PinsOf(*filter, PINDIR_INPUT)) {
            if (FAILED(ConnectDirectJournalled(output, filterInput))) continue;
            for (const auto& filterOutput : PinsOf(*filter, PINDIR_OUTPUT))
                if (SUCCEEDED(graph_.ConnectDirect(filterOutput, input, nullptr))) return S_OK;
            break;
        }
        Rollback(mark);
    }
    return VFW_E_CANNOT_CONNECT;
}

HRESULT IntelligentConnect::AddSourceFilter(const SourceLocation& location, const std::string& name,
                                            std::shared_ptr<IBaseFilter>& filter) {
    filter.reset();
    std::vector<std::uint8_t> head;
    if (!ReadHead(location.file, head)) return E_FILE_NOT_FOUND;
    const auto entry = graph_.Registry()->SourceFor(location.file, head);
    if (!entry) return VFW_E_UNKNOWN_FILE_TYPE;
    auto source = entry->factory();
    auto loader = QueryInterface<IFileSourceFilter>(source);
    if (!loader) return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
    const auto trackType = location.track ? std::optional(TrackStreamType(*location.track)) : std::nullopt;
    HRESULT hr = loader->Load(location.file, trackType ? &*trackType : nullptr);
    if (FAILED(hr)) return hr;
    hr = graph_.AddFilter(source, name);
    if (FAILED(hr)) return hr;
    filter = source;
    return S_OK;
}

HRESULT IntelligentConnect::RenderPin(const std::shared_ptr<IPin>& output, int depth) {
    if (depth > kMaxDepth) return VFW_E_CANNOT_RENDER;
    const auto self = OwnerOf(output);
    for (const auto& filter : graph_.FiltersInAddOrder()) {
        if (filter == self) continue;
        if (SUCCEEDED(TryFilterInGraph(output, filter, depth))) return S_OK;
    }
    std::vector<MediaType> types;
    output->EnumMediaTypes(types);
    for (const FilterEntry& entry : graph_.Registry()->ConnectCandidates(types))
        if (SUCCEEDED(TryRegistered(output, entry, depth))) return S_OK;
    return VFW_E_CANNOT_RENDER;
}

HRESULT IntelligentConnect::RenderOutputs(const std::shared_ptr<IBaseFilter>& filter, int depth) {
    const auto outputs = PinsOf(*filter, PINDIR_OUTPUT);
    if (outputs.empty()) return S_OK;  // a renderer or sink ends the branch
    int rendered = 0, failed = 0;
    for (const auto& output : outputs) {
        if (IsConnected(output)) {
            ++rendered;
            continue;
        }
        if (SUCCEEDED(RenderPin(output, depth + 1)))
            ++rendered;
        else
            ++failed;
    }
    if (rendered == 0) return VFW_E_CANNOT_RENDER;
    return failed ? VFW_S_PARTIAL_RENDER : S_OK;
}

HRESULT IntelligentConnect::TryFilterInGraph(const std::shared_ptr<IPin>& output,
                                             const std::shared_ptr<IBaseFilter>& filter, int depth) {
    return ConnectThrough(output, filter, depth);
}

HRESULT IntelligentConnect::TryRegistered(const std::shared_ptr<IPin>& output, const FilterEntry& entry, int depth) {
    const Checkpoint mark = Mark();
    auto filter = entry.factory();
    if (!filter || FAILED(AddFilterJournalled(filter, entry.friendlyName.value_or("")))) return E_FAIL;
    const HRESULT hr = ConnectThrough(output, filter, depth);
    if (FAILED(hr)) Rollback(mark);
    return hr;
}

HRESULT IntelligentConnect::ConnectThrough(const std::shared_ptr<IPin>& output,
                                           const std::shared_ptr<IBaseFilter>& filter, int depth) {
    for (const auto& input : PinsOf(*filter, PINDIR_INPUT)) {
        if (IsConnected(input)) continue;
        const Checkpoint mark = Mark();
        if (FAILED(ConnectDirectJournalled(output, input))) continue;
        if (SUCCEEDED(RenderOutputs(filter, depth))) return S_OK;
        Rollback(mark);
    }
    return VFW_E_CANNOT_CONNECT;
}

HRESULT IntelligentConnect::ConnectDirectJournalled(const std::shared_ptr<IPin>& output,
                                                    const std::shared_ptr<IPin>& input) {
    const HRESULT hr = graph_.ConnectDirect(output, input, nullptr);
    if (SUCCEEDED(hr)) connections_.emplace_back(output, input);
    return hr;
}

HRESULT IntelligentConnect::AddFilterJournalled(const std::shared_ptr<IBaseFilter>& filter, const std::string& name) {
    const HRESULT hr = graph_.AddFilter(filter, name);
    if (SUCCEEDED(hr)) filters_.push_back(filter);
    return hr;
}

void IntelligentConnect::Rollback(const Checkpoint& checkpoint) {
    while (connections_.size() > checkpoint.connections) {
        auto [output, input] = connections_.back();
        connections_.pop_back();
        input->Disconnect();
        output->Disconnect();
    }
    while (filters_.size() > checkpoint.filters) {
        graph_.RemoveFilter(filters_.back());
        filters_.pop_back();
    }
}

}  // namespace tessival::media
