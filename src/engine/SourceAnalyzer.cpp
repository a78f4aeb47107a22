#include "engine/SourceAnalyzer.h"

#include <algorithm>

#include "joblist/TextField.h"

namespace tessival {

using namespace media;

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

bool IsVideoRenderer(const FilterRecord& record) { return StartsWith(record.name, "Video Renderer"); }

// A filter's name as a record keeps it: at most 79 bytes, cut at a character boundary.
std::string RecordName(const std::string& name) { return name.substr(0, Utf8CutLength(name, 79)); }

std::string PinName(const std::shared_ptr<IPin>& pin) {
    PIN_INFO info;
    return pin && SUCCEEDED(pin->QueryPinInfo(info)) ? info.achName : std::string();
}

}  // namespace

SourceAnalyzer::SourceAnalyzer(Shell& shell, std::shared_ptr<const FilterRegistry> registry)
    : shell_(shell), registry_(std::move(registry)) {}

void SourceAnalyzer::Analyze(const std::string& path) {
    filterList.clear();
    mainPath.clear();
    branchPath.clear();
    splitterIndex = -1;
    audioOnMain = -1;
    asyncSource = false;
    analyzedFile = path;

    toolkit_.emplace(shell_, registry_);
    toolkit_->builder->RenderFile(path, "");  // what could be built is analysed
    ListFilters();
    SplitPaths();
    // Only the names are used from here on; drop the pointers with the scratch graph.
    for (auto* records : {&filterList, &mainPath, &branchPath}) {
        for (FilterRecord& record : *records) record = FilterRecord{record.name, {}, {}, {}, {}};
    }
    toolkit_.reset();
}

FilterRecord SourceAnalyzer::MakeRecord(const std::shared_ptr<IBaseFilter>& filter) {
    FilterRecord record;
    FILTER_INFO info;
    if (SUCCEEDED(filter->QueryFilterInfo(info))) record.name = RecordName(info.achName);
    record.filter = filter;
    record.firstInput = toolkit_->GetPin(filter, PINDIR_INPUT, 0);
    record.firstOutput = toolkit_->GetPin(filter, PINDIR_OUTPUT, 0);
    record.secondOutput = toolkit_->GetPin(filter, PINDIR_OUTPUT, 1);
    return record;
}

void SourceAnalyzer::ListFilters() {
    std::shared_ptr<IEnumFilters> filters;
    if (FAILED(toolkit_->graph->EnumFilters(filters)) || !filters) return;
    std::shared_ptr<IBaseFilter> filter;
    while (filters->Next(filter) == S_OK) {
        FilterRecord record = MakeRecord(filter);
        if (!asyncSource && record.firstOutput && StartsWith(record.name, RecordName(analyzedFile)) &&
            StartsWith(PinName(record.firstOutput), "Output"))
            asyncSource = true;
        filterList.insert(filterList.begin(), std::move(record));
    }
}

void SourceAnalyzer::SplitPaths() {
    for (std::size_t i = 0; i < filterList.size(); ++i) {
        if (splitterIndex < 0 && filterList[i].secondOutput) {
            splitterIndex = static_cast<int>(i);
            FollowBranch(filterList[i].secondOutput);
        }
        if (i >= filterList.size()) break;  // the branch took the rest of the list
        mainPath.push_back(filterList[i]);
        if (IsVideoRenderer(filterList[i])) audioOnMain = 0;
    }
}

void SourceAnalyzer::FollowBranch(std::shared_ptr<IPin> pin) {
    while (pin) {
        std::shared_ptr<IPin> peer;
        if (FAILED(pin->ConnectedTo(peer)) || !peer) return;
        PIN_INFO info;
        if (FAILED(peer->QueryPinInfo(info)) || !info.pFilter) return;
        auto found = std::find_if(filterList.begin(), filterList.end(),
                                  [&](const FilterRecord& record) { return record.filter == info.pFilter; });
        if (found == filterList.end()) return;
        FilterRecord record = *found;
        filterList.erase(found);
        if (IsVideoRenderer(record)) audioOnMain = 1;
        pin = record.firstOutput;
        branchPath.push_back(std::move(record));
    }
}

}  // namespace tessival
