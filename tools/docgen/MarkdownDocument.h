#pragma once

#include <string>
#include <vector>

namespace tessival::docgen {

struct Block;

// A bullet, or a term with its definition; the body holds blocks of its own.
struct ListItem {
    std::string term;
    std::vector<Block> body;
};

struct Block {
    enum class Kind { Heading, Paragraph, BulletList, DefinitionList, Code };
    explicit Block(Kind blockKind) : kind(blockKind) {}

    Kind kind;
    int level = 0;             // Heading: 1 starts a page, 2 a section, 3 a subsection
    std::string only;          // Heading: "man" or "help" when its section belongs to one output
    std::string text;          // Heading and Paragraph: inline markup; Code: the lines as written
    std::vector<ListItem> items;
};

// The small Markdown dialect our pages are written in:
//   % Title            the help page's title (first line), then % Date for the man pages
//   # name(1): summary a manual page; ## a section, ### a subsection, "{man}"/"{help}" after a
//                      section's heading keeps it to that output
//   - item             a bullet, continued by lines indented two spaces
//   term               a definition, continued by lines indented four spaces
//   :   definition
//   ```                a block of lines kept as they are, up to the next ```
struct MarkdownDocument {
    std::string title;
    std::string date;
    std::vector<Block> blocks;

    static MarkdownDocument Parse(const std::string& text);
};

}  // namespace tessival::docgen
