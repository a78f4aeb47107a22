#pragma once

#include <string>
#include <vector>

#include "MarkdownDocument.h"

namespace tessival::docgen {

// The whole document as one HTML page, less the sections kept for the manual pages.
class HelpPageWriter {
public:
    explicit HelpPageWriter(const MarkdownDocument& document);

    std::string Write() const;

private:
    void WriteBlocks(const std::vector<Block>& blocks, std::string& out) const;

    const MarkdownDocument& document_;
};

}  // namespace tessival::docgen
