#pragma once

#include <string>
#include <vector>

#include "MarkdownDocument.h"

namespace tessival::docgen {

// One manual page of a document in roff's man macros: the blocks from its "# name(1): summary"
// heading to the next page, less the sections kept for the help page.
class ManPageWriter {
public:
    ManPageWriter(const MarkdownDocument& document, std::string version);

    // The names of the document's pages, in order.
    std::vector<std::string> PageNames() const;
    std::string Write(const std::string& pageName) const;

private:
    void WriteBlocks(const std::vector<Block>& blocks, int depth, std::string& out) const;
    void WriteBlock(const Block& block, int depth, bool first, std::string& out) const;

    const MarkdownDocument& document_;
    std::string version_;
};

}  // namespace tessival::docgen
