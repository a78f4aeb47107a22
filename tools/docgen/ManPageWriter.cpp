#include "ManPageWriter.h"

#include <cctype>
#include <stdexcept>

#include "InlineText.h"
#include "PageHeading.h"

namespace tessival::docgen {
namespace {

// Text as roff prints it: a backslash and a hyphen-minus escaped, and a line that would start
// with a control character made text.
std::string RoffText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else if ((c == '.' || c == '\'') && (out.empty() || out.back() == '\n')) out += std::string("\\&") + c;
        else out += c;
    }
    return out;
}

std::string Font(const InlineSpan& span) {
    const bool bold = span.code || span.bold;
    if (bold && span.italic) return "\\f(BI";
    if (bold) return "\\fB";
    if (span.italic) return "\\fI";
    return "\\fR";
}

std::string RoffInline(const std::string& markup) {
    std::string out;
    std::string font = "\\fR";
    for (const InlineSpan& span : ParseInline(markup)) {
        if (Font(span) != font) {
            font = Font(span);
            out += font;
        }
        // A font change at a line's start does not shield a control character after it.
        std::string text = RoffText(span.text);
        if (!out.empty() && out.back() != '\n' && text.rfind("\\&", 0) == 0) text.erase(0, 2);
        out += text;
    }
    if (font != "\\fR") out += "\\fR";
    return out;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

ManPageWriter::ManPageWriter(const MarkdownDocument& document, std::string version)
    : document_(document), version_(std::move(version)) {}

std::vector<std::string> ManPageWriter::PageNames() const {
    std::vector<std::string> names;
    for (const Block& block : document_.blocks)
        if (block.kind == Block::Kind::Heading && block.level == 1) names.push_back(PageHeading::Parse(block.text).name);
    return names;
}

std::string ManPageWriter::Write(const std::string& pageName) const {
    std::string out;
    bool inPage = false;
    bool skipping = false;
    std::vector<Block> body;
    for (const Block& block : document_.blocks) {
        if (block.kind == Block::Kind::Heading && block.level == 1) {
            const PageHeading heading = PageHeading::Parse(block.text);
            inPage = heading.name == pageName;
            if (inPage)
                out += ".TH " + RoffText(Upper(heading.name)) + " " + heading.section + " \"" + document_.date +
                       "\" \"Tessival " + version_ + "\" \"User Commands\"\n.SH NAME\n" + RoffText(heading.name) +
                       " \\- " + RoffText(heading.summary) + "\n";
            continue;
        }
        if (!inPage) continue;
        if (block.kind == Block::Kind::Heading && block.level == 2) skipping = block.only == "help";
        if (!skipping) body.push_back(block);
    }
    if (out.empty()) throw std::runtime_error("no page named " + pageName);
    WriteBlocks(body, 0, out);
    return out;
}

void ManPageWriter::WriteBlocks(const std::vector<Block>& blocks, int depth, std::string& out) const {
    for (size_t i = 0; i < blocks.size(); ++i) WriteBlock(blocks[i], depth, i == 0, out);
}

void ManPageWriter::WriteBlock(const Block& block, int depth, bool first, std::string& out) const {
    // Inside a list item, the first block follows the item's tag; later ones keep its indent.
    const std::string separator = depth == 0 ? ".PP\n" : first ? "" : ".IP\n";
    switch (block.kind) {
    case Block::Kind::Heading:
        out += (block.level <= 2 ? ".SH " + RoffInline(Upper(block.text)) : ".SS " + RoffInline(block.text)) + "\n";
        break;
    case Block::Kind::Paragraph:
        out += separator + RoffInline(block.text) + "\n";
        break;
    case Block::Kind::Code:
        out += (depth == 0 ? ".PP\n.RS 4\n" : separator) + ".nf\n" + RoffText(block.text) + ".fi\n" +
               (depth == 0 ? ".RE\n" : "");
        break;
    case Block::Kind::BulletList:
    case Block::Kind::DefinitionList:
        if (depth > 0) out += ".RS\n";
        for (const ListItem& item : block.items) {
            out += block.kind == Block::Kind::BulletList ? ".IP \\(bu 2\n" : ".TP\n" + RoffInline(item.term) + "\n";
            WriteBlocks(item.body, depth + 1, out);
        }
        if (depth > 0) out += ".RE\n";
        break;
    }
}

}  // namespace tessival::docgen
