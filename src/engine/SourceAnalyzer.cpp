#include "engine/SourceAnalyzer.h"

#include <algorithm>

#include "joblist/TextField.h"

namespace tessival {

using namespace media;

namespace {

// A filter of the scratch graph; its pointers are only followed while that graph is open.
struct FilterRecord {
    std::string name;
    std::shared_ptr<IBaseFilter> filter;
    std::shared_ptr<IPin> firstOutput;
    std::shared_ptr<IPin> secondOutput;
};

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

bool IsVideoRenderer(const FilterRecord& record) { return StartsWith(record.name, "Video Renderer"); }

// A filter's name as a record keeps it: at most 79 bytes, cut at a character boundary.
std::string RecordName(const std::string& name) { return name.substr(0, Utf8CutLength(name, 79)); }

std::string PinName(const std::shared_ptr<IPin>& pin) {
    PIN_INFO info;
    return pin && SUCCEEDED(pin->QueryPinInfo(info)) ? info.achName : std::string();
}

std::vector<std::string> NamesOf(const std::vector<FilterRecord>& records) {
    std::vector<std::string> names;
    for (const FilterRecord& record : records) names.push_back(record.name);
    return names;
}

// The walk over one scratch graph.
class Walk {
public:
    Walk(GraphToolkit& toolkit, const std::string& sourceName) : toolkit_(toolkit), sourceName_(sourceName) {}

    SourceAnalysis Run() {
        ListFilters();
        SplitPaths();
        result_.filters = NamesOf(filters_);
        result_.mainPath = NamesOf(mainPath_);
        result_.branchPath = NamesOf(branchPath_);
        return std::move(result_);
    }

private:
    FilterRecord MakeRecord(const std::shared_ptr<IBaseFilter>& filter) {
        FilterRecord record;
        FILTER_INFO info;
        if (SUCCEEDED(filter->QueryFilterInfo(info))) record.name = RecordName(info.achName);
        record.filter = filter;
        record.firstOutput = toolkit_.GetPin(filter, PINDIR_OUTPUT, 0);
        record.secondOutput = toolkit_.GetPin(filter, PINDIR_OUTPUT, 1);
        return record;
    }

    void ListFilters() {
        std::shared_ptr<IEnumFilters> filters;
        if (FAILED(toolkit_.Graph().EnumFilters(filters)) || !filters) return;
        std::shared_ptr<IBaseFilter> filter;
        while (filters->Next(filter) == S_OK) {
            FilterRecord record = MakeRecord(filter);
            if (!result_.asyncSource && record.firstOutput && StartsWith(record.name, RecordName(sourceName_)) &&
                StartsWith(PinName(record.firstOutput), "Output"))
                result_.asyncSource = true;
            filters_.insert(filters_.begin(), std::move(record));
        }
    }

    void SplitPaths() {
        for (std::size_t i = 0; i < filters_.size(); ++i) {
            if (result_.splitterIndex < 0 && filters_[i].secondOutput) {
                result_.splitterIndex = static_cast<int>(i);
                FollowBranch(filters_[i].secondOutput);
            }
            if (i >= filters_.size()) break;  // the branch took the rest of the list
            mainPath_.push_back(filters_[i]);
            if (IsVideoRenderer(filters_[i])) result_.audioOnMain = 0;
        }
    }

    void FollowBranch(std::shared_ptr<IPin> pin) {
        while (pin) {
            std::shared_ptr<IPin> peer;
            if (FAILED(pin->ConnectedTo(peer)) || !peer) return;
            PIN_INFO info;
            if (FAILED(peer->QueryPinInfo(info)) || !info.pFilter) return;
            auto found = std::find_if(filters_.begin(), filters_.end(),
                                      [&](const FilterRecord& record) { return record.filter == info.pFilter; });
            if (found == filters_.end()) return;
            FilterRecord record = *found;
            filters_.erase(found);
            if (IsVideoRenderer(record)) result_.audioOnMain = 1;
            pin = record.firstOutput;
            branchPath_.push_back(std::move(record));
        }
    }

    GraphToolkit& toolkit_;
    const std::string& sourceName_;
    std::vector<FilterRecord> filters_;
    std::vector<FilterRecord> mainPath_;
    std::vector<FilterRecord> branchPath_;
    SourceAnalysis result_;
};

}  // namespace

SourceAnalyzer::SourceAnalyzer(Shell& shell, std::shared_ptr<const FilterRegistry> registry)
    : shell_(shell), registry_(std::move(registry)) {}

SourceAnalysis SourceAnalyzer::Analyze(const SourceLocation& source) const {
    GraphToolkit scratch(shell_, registry_);
    scratch.Builder().RenderFile(source);  // what could be built is analysed
    return Walk(scratch, source.file).Run();
}

}  // namespace tessival
