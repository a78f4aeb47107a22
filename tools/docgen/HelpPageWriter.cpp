#include "HelpPageWriter.h"

#include "InlineText.h"
#include "PageHeading.h"

namespace tessival::docgen {
namespace {

std::string HtmlText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

std::string HtmlInline(const std::string& markup) {
    std::string out;
    for (const InlineSpan& span : ParseInline(markup)) {
        std::string text = HtmlText(span.text);
        if (span.code) text = "<code>" + text + "</code>";
        if (span.italic) text = "<i>" + text + "</i>";
        if (span.bold) text = "<b>" + text + "</b>";
        out += text;
    }
    return out;
}

std::string Heading(const Block& block) {
    const std::string tag = "h" + std::to_string(block.level);
    if (block.level != 1) return "<" + tag + ">" + HtmlInline(block.text) + "</" + tag + ">\n";
    const PageHeading page = PageHeading::Parse(block.text);
    return "<h1 id=\"" + HtmlText(page.name) + "\">" + HtmlText(page.name) + " &mdash; " + HtmlText(page.summary) +
           "</h1>\n";
}

}  // namespace

HelpPageWriter::HelpPageWriter(const MarkdownDocument& document) : document_(document) {}

std::string HelpPageWriter::Write() const {
    std::vector<Block> shown;
    bool skipping = false;
    for (const Block& block : document_.blocks) {
        if (block.kind == Block::Kind::Heading && block.level <= 2) skipping = block.only == "man";
        if (!skipping) shown.push_back(block);
    }
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\"><title>" +
                      HtmlText(document_.title) + "</title></head>\n<body>\n";
    WriteBlocks(shown, out);
    return out + "</body>\n</html>\n";
}

void HelpPageWriter::WriteBlocks(const std::vector<Block>& blocks, std::string& out) const {
    for (const Block& block : blocks) {
        switch (block.kind) {
        case Block::Kind::Heading:
            out += Heading(block);
            break;
        case Block::Kind::Paragraph:
            out += "<p>" + HtmlInline(block.text) + "</p>\n";
            break;
        case Block::Kind::Code:
            out += "<pre>" + HtmlText(block.text) + "</pre>\n";
            break;
        case Block::Kind::BulletList:
            out += "<ul>\n";
            for (const ListItem& item : block.items) {
                out += "<li>";
                WriteBlocks(item.body, out);
                out += "</li>\n";
            }
            out += "</ul>\n";
            break;
        case Block::Kind::DefinitionList:
            out += "<dl>\n";
            for (const ListItem& item : block.items) {
                out += "<dt>" + HtmlInline(item.term) + "</dt>\n<dd>";
                WriteBlocks(item.body, out);
                out += "</dd>\n";
            }
            out += "</dl>\n";
            break;
        }
    }
}

}  // namespace tessival::docgen
