// The manual pages and the help page written from one Markdown source.
#include <gtest/gtest.h>

#include "HelpPageWriter.h"
#include "ManPageWriter.h"
#include "MarkdownDocument.h"

namespace tessival::docgen {
namespace {

std::string Page(const std::string& body) { return "% Help\n% May 2026\n# tool(1): does things\n" + body; }

TEST(DocGen, BlocksAndInlineMarkupInRoffAndHtml) {
    struct Case {
        const char* markdown;
        const char* roff;
        const char* html;
    };
    const Case cases[] = {
        {"Run `convert` *now*, **really**.\n", ".PP\nRun \\fBconvert\\fR \\fInow\\fR, \\fBreally\\fR.\n",
         "<p>Run <code>convert</code> <i>now</i>, <b>really</b>.</p>\n"},
        {"a-b \\\\ \\*x & <y>\n.tsl files\n", ".PP\na\\-b \\e *x & <y>\n\\&.tsl files\n",
         "<p>a-b \\ *x &amp; &lt;y&gt;\n.tsl files</p>\n"},
        {"`--a`\n:   First.\n\n    `--b`\n    :   Inner.\n\n    After.\n",
         ".TP\n\\fB\\-\\-a\\fR\nFirst.\n.RS\n.TP\n\\fB\\-\\-b\\fR\nInner.\n.RE\n.IP\nAfter.\n",
         "<dl>\n<dt><code>--a</code></dt>\n<dd><p>First.</p>\n<dl>\n<dt><code>--b</code></dt>\n<dd><p>Inner.</p>\n"
         "</dd>\n</dl>\n<p>After.</p>\n</dd>\n</dl>\n"},
        {"`x`\n:   One.\n\n`y` *Y*\n:   Two.\n", ".TP\n\\fBx\\fR\nOne.\n.TP\n\\fBy\\fR \\fIY\\fR\nTwo.\n",
         "<dt><code>x</code></dt>\n<dd><p>One.</p>\n</dd>\n<dt><code>y</code> <i>Y</i></dt>\n"},
        {"- one\n  more\n- two\n", ".IP \\(bu 2\none\nmore\n.IP \\(bu 2\ntwo\n",
         "<ul>\n<li><p>one\nmore</p>\n</li>\n<li><p>two</p>\n</li>\n</ul>\n"},
        {"```\nls -l *.wav\n.x\n```\n", ".PP\n.RS 4\n.nf\nls \\-l *.wav\n\\&.x\n.fi\n.RE\n", "<pre>ls -l *.wav\n.x\n</pre>\n"},
        {"### Sub *part*\n", ".SS Sub \\fIpart\\fR\n", "<h3>Sub <i>part</i></h3>\n"},
    };
    for (const Case& c : cases) {
        const MarkdownDocument document = MarkdownDocument::Parse(Page(c.markdown));
        EXPECT_NE(ManPageWriter(document, "1.0").Write("tool").find(c.roff), std::string::npos) << c.markdown;
        EXPECT_NE(HelpPageWriter(document).Write().find(c.html), std::string::npos) << c.markdown;
    }
}

TEST(DocGen, EachPageIsOneManPageAndTaggedSectionsKeepToTheirOutput) {
    const MarkdownDocument document = MarkdownDocument::Parse(Page(
        "## Synopsis {man}\n**tool** *FILE*\n## Usage\nUse it.\n## Window {help}\nDrag it.\n"
        "# tool-two(1): does more\n## Usage\nMore.\n"));
    const ManPageWriter man(document, "2.1.7");
    EXPECT_EQ(man.PageNames(), (std::vector<std::string>{"tool", "tool-two"}));
    EXPECT_EQ(man.Write("tool"),
              ".TH TOOL 1 \"May 2026\" \"Tessival 2.1.7\" \"User Commands\"\n.SH NAME\ntool \\- does things\n"
              ".SH SYNOPSIS\n.PP\n\\fBtool\\fR \\fIFILE\\fR\n.SH USAGE\n.PP\nUse it.\n");
    EXPECT_EQ(man.Write("tool-two"),
              ".TH TOOL\\-TWO 1 \"May 2026\" \"Tessival 2.1.7\" \"User Commands\"\n.SH NAME\ntool\\-two \\- does more\n"
              ".SH USAGE\n.PP\nMore.\n");
    EXPECT_EQ(HelpPageWriter(document).Write(),
              "<!DOCTYPE html>\n<html lang=\"en\">\n<head><meta charset=\"utf-8\"><title>Help</title></head>\n<body>\n"
              "<h1 id=\"tool\">tool &mdash; does things</h1>\n<h2>Usage</h2>\n<p>Use it.</p>\n<h2>Window</h2>\n"
              "<p>Drag it.</p>\n<h1 id=\"tool-two\">tool-two &mdash; does more</h1>\n<h2>Usage</h2>\n<p>More.</p>\n"
              "</body>\n</html>\n");
}

}  // namespace
}  // namespace tessival::docgen
