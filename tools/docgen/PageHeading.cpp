#include "PageHeading.h"

namespace tessival::docgen {

PageHeading PageHeading::Parse(const std::string& text) {
    const size_t open = text.find('(');
    const size_t close = text.find("):", open);
    if (open == std::string::npos || close == std::string::npos) return {text, "1", ""};
    const size_t summary = text.find_first_not_of(' ', close + 2);
    return {text.substr(0, open), text.substr(open + 1, close - open - 1),
            summary == std::string::npos ? "" : text.substr(summary)};
}

}  // namespace tessival::docgen
