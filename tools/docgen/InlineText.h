#pragma once

#include <string>
#include <vector>

namespace tessival::docgen {

// A run of text in one style.
struct InlineSpan {
    std::string text;
    bool code = false;
    bool bold = false;
    bool italic = false;
};

// Splits inline markup into spans: `code`, **bold**, *italic*, and a backslash that takes the
// next character as it is.
std::vector<InlineSpan> ParseInline(const std::string& markup);

}  // namespace tessival::docgen
