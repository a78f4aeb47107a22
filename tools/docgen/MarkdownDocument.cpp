#include "MarkdownDocument.h"

#include <sstream>

namespace tessival::docgen {
namespace {

using Lines = std::vector<std::string>;

bool StartsWith(const std::string& line, const std::string& prefix) { return line.rfind(prefix, 0) == 0; }

bool IsBlank(const std::string& line) { return line.find_first_not_of(' ') == std::string::npos; }

bool IsDefinition(const std::string& line) { return StartsWith(line, ":   "); }

bool IsFence(const std::string& line) { return StartsWith(line, "```"); }

bool IsHeading(const std::string& line) { return StartsWith(line, "#"); }

bool IsBullet(const std::string& line) { return StartsWith(line, "- "); }

// The lines after `first` that are indented by `indent` (blank lines between them included), with
// the indent taken off; `at` moves past them.
Lines IndentedLines(const Lines& lines, size_t& at, const std::string& first, size_t indent) {
    Lines body{first};
    const std::string margin(indent, ' ');
    while (at < lines.size()) {
        if (StartsWith(lines[at], margin)) {
            body.push_back(lines[at++].substr(indent));
        } else if (IsBlank(lines[at]) && at + 1 < lines.size() && StartsWith(lines[at + 1], margin)) {
            body.emplace_back();
            ++at;
        } else {
            break;
        }
    }
    return body;
}

std::vector<Block> ParseBlocks(const Lines& lines);

Block ParseHeading(const std::string& line) {
    Block heading{Block::Kind::Heading};
    heading.level = static_cast<int>(line.find_first_not_of('#'));
    std::string text = line.substr(heading.level);
    for (const char* only : {"man", "help"}) {
        const std::string tag = std::string(" {") + only + "}";
        if (text.size() > tag.size() && text.compare(text.size() - tag.size(), tag.size(), tag) == 0) {
            heading.only = only;
            text.resize(text.size() - tag.size());
        }
    }
    heading.text = text.substr(text.find_first_not_of(' '));
    return heading;
}

Block ParseCode(const Lines& lines, size_t& at) {
    Block code{Block::Kind::Code};
    for (++at; at < lines.size() && !IsFence(lines[at]); ++at) code.text += lines[at] + "\n";
    ++at;
    return code;
}

Block ParseBullets(const Lines& lines, size_t& at) {
    Block list{Block::Kind::BulletList};
    while (at < lines.size() && IsBullet(lines[at])) {
        const std::string first = lines[at++].substr(2);
        list.items.push_back({"", ParseBlocks(IndentedLines(lines, at, first, 2))});
    }
    return list;
}

Block ParseDefinitions(const Lines& lines, size_t& at) {
    Block list{Block::Kind::DefinitionList};
    while (at + 1 < lines.size() && !IsBlank(lines[at]) && IsDefinition(lines[at + 1])) {
        const std::string term = lines[at];
        at += 2;
        list.items.push_back({term, ParseBlocks(IndentedLines(lines, at, lines[at - 1].substr(4), 4))});
        if (at + 2 < lines.size() && IsBlank(lines[at]) && IsDefinition(lines[at + 2])) ++at;
    }
    return list;
}

Block ParseParagraph(const Lines& lines, size_t& at) {
    Block paragraph{Block::Kind::Paragraph};
    while (at < lines.size() && !IsBlank(lines[at]) && !IsHeading(lines[at]) && !IsFence(lines[at]) && !IsBullet(lines[at]) &&
           !(at + 1 < lines.size() && IsDefinition(lines[at + 1]))) {
        if (!paragraph.text.empty()) paragraph.text += "\n";
        paragraph.text += lines[at++];
    }
    return paragraph;
}

std::vector<Block> ParseBlocks(const Lines& lines) {
    std::vector<Block> blocks;
    size_t at = 0;
    while (at < lines.size()) {
        const std::string& line = lines[at];
        if (IsBlank(line)) {
            ++at;
        } else if (IsHeading(line)) {
            blocks.push_back(ParseHeading(line));
            ++at;
        } else if (IsFence(line)) {
            blocks.push_back(ParseCode(lines, at));
        } else if (IsBullet(line)) {
            blocks.push_back(ParseBullets(lines, at));
        } else if (at + 1 < lines.size() && IsDefinition(lines[at + 1])) {
            blocks.push_back(ParseDefinitions(lines, at));
        } else {
            blocks.push_back(ParseParagraph(lines, at));
        }
    }
    return blocks;
}

}  // namespace

MarkdownDocument MarkdownDocument::Parse(const std::string& text) {
    Lines lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    MarkdownDocument document;
    size_t at = 0;
    for (std::string* field : {&document.title, &document.date})
        if (at < lines.size() && StartsWith(lines[at], "% ")) *field = lines[at++].substr(2);
    document.blocks = ParseBlocks(Lines(lines.begin() + static_cast<long>(at), lines.end()));
    return document;
}

}  // namespace tessival::docgen
