#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/GraphToolkit.h"

namespace tessival {

// A filter of the scratch graph, by name; the pointers are only followed while that graph is open.
struct FilterRecord {
    std::string name;
    std::shared_ptr<media::IBaseFilter> filter;
    std::shared_ptr<media::IPin> firstInput;
    std::shared_ptr<media::IPin> firstOutput;
    std::shared_ptr<media::IPin> secondOutput;
};

// Renders a file in a scratch graph and finds its audio path: the filters from the source to the
// splitter (the first filter with two outputs), then either the main path after it or the branch
// behind its second output, whichever does not end in the video renderer.
class SourceAnalyzer {
public:
    explicit SourceAnalyzer(Shell& shell, std::shared_ptr<const media::FilterRegistry> registry);

    void Analyze(const std::string& path);
    // The file rendered to a video renderer and nothing else: a video without audio.
    bool OnlyVideo() const { return audioOnMain == 0 && branchPath.empty(); }

    std::string analyzedFile;
    std::vector<FilterRecord> filterList;  // reverse of the scratch graph's enumeration order
    std::vector<FilterRecord> mainPath;
    std::vector<FilterRecord> branchPath;
    int splitterIndex = -1;
    int audioOnMain = -1;  // -1 no video renderer seen, 0 audio on the branch, 1 audio on the main path
    bool asyncSource = false;

private:
    void ListFilters();
    void SplitPaths();
    void FollowBranch(std::shared_ptr<media::IPin> pin);
    FilterRecord MakeRecord(const std::shared_ptr<media::IBaseFilter>& filter);

    Shell& shell_;
    std::shared_ptr<const media::FilterRegistry> registry_;
    std::optional<GraphToolkit> toolkit_;  // the scratch graph, only while Analyze runs
};

}  // namespace tessival
