#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/media/FilterGraph.h"

namespace tessival::media {

// Automatic graph building for one call of Render, RenderFile, Connect or AddSourceFilter.
// Every connection and filter it adds is journalled, so a branch that leads nowhere is undone
// without touching what was there before.
class IntelligentConnect {
public:
    explicit IntelligentConnect(FilterGraph& graph) : graph_(graph) {}

    HRESULT Render(const std::shared_ptr<IPin>& output);
    HRESULT RenderFile(const SourceLocation& source);
    HRESULT Connect(const std::shared_ptr<IPin>& output, const std::shared_ptr<IPin>& input);
    HRESULT AddSourceFilter(const SourceLocation& source, const std::string& name,
                            std::shared_ptr<IBaseFilter>& filter);

private:
    struct Checkpoint {
        std::size_t connections;
        std::size_t filters;
    };

    HRESULT RenderPin(const std::shared_ptr<IPin>& output, int depth);
    HRESULT RenderOutputs(const std::shared_ptr<IBaseFilter>& filter, int depth);
    HRESULT TryFilterInGraph(const std::shared_ptr<IPin>& output, const std::shared_ptr<IBaseFilter>& filter,
                             int depth);
    HRESULT TryRegistered(const std::shared_ptr<IPin>& output, const FilterEntry& entry, int depth);
    // Connects output to one of filter's free inputs and renders the filter's outputs.
    HRESULT ConnectThrough(const std::shared_ptr<IPin>& output, const std::shared_ptr<IBaseFilter>& filter,
                           int depth);
    HRESULT ConnectDirectJournalled(const std::shared_ptr<IPin>& output, const std::shared_ptr<IPin>& input);
    HRESULT AddFilterJournalled(const std::shared_ptr<IBaseFilter>& filter, const std::string& name);
    Checkpoint Mark() const { return {connections_.size(), filters_.size()}; }
    void Rollback(const Checkpoint& checkpoint);

    FilterGraph& graph_;
    std::vector<std::pair<std::shared_ptr<IPin>, std::shared_ptr<IPin>>> connections_;
    std::vector<std::shared_ptr<IBaseFilter>> filters_;
};

}  // namespace tessival::media
