#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/GraphToolkit.h"
#include "platform/io/TrackPath.h"

namespace tessival {

// What a scratch rendering of a source showed, by filter name: the filters from the source to the
// splitter (the first filter with two outputs), then either the main path after it or the branch
// behind its second output, whichever does not end in the video renderer.
struct SourceAnalysis {
    std::vector<std::string> filters;  // every filter, in reverse of the scratch graph's enumeration order
    std::vector<std::string> mainPath;
    std::vector<std::string> branchPath;
    int splitterIndex = -1;
    int audioOnMain = -1;  // -1 no video renderer seen, 0 audio on the branch, 1 audio on the main path
    bool asyncSource = false;  // the source is the file source, named after the file

    // The file rendered to a video renderer and nothing else: a video without audio.
    bool OnlyVideo() const { return audioOnMain == 0 && branchPath.empty(); }
};

// Renders a source in a scratch graph of its own, opened and closed within Analyze.
class SourceAnalyzer {
public:
    SourceAnalyzer(Shell& shell, std::shared_ptr<const media::FilterRegistry> registry);

    SourceAnalysis Analyze(const SourceLocation& source) const;

private:
    Shell& shell_;
    std::shared_ptr<const media::FilterRegistry> registry_;
};

}  // namespace tessival
