// Writes the manual pages and the help page from their one Markdown source:
//   tessival-docgen SOURCE.md VERSION OUTPUT_FOLDER
// gives OUTPUT_FOLDER/NAME.1 for each page and OUTPUT_FOLDER/tessival.html.
#include <fstream>
#include <iostream>
#include <sstream>

#include "HelpPageWriter.h"
#include "ManPageWriter.h"
#include "MarkdownDocument.h"

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file) std::cerr << "tessival-docgen: cannot write " << path << "\n";
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: tessival-docgen SOURCE.md VERSION OUTPUT_FOLDER\n";
        return 2;
    }
    std::ifstream source(argv[1], std::ios::binary);
    if (!source) {
        std::cerr << "tessival-docgen: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::ostringstream text;
    text << source.rdbuf();
    using namespace tessival::docgen;
    const MarkdownDocument document = MarkdownDocument::Parse(text.str());
    const std::string folder = std::string(argv[3]) + "/";
    const ManPageWriter man(document, argv[2]);
    bool written = WriteFile(folder + "tessival.html", HelpPageWriter(document).Write());
    for (const std::string& page : man.PageNames()) written = WriteFile(folder + page + ".1", man.Write(page)) && written;
    return written ? 0 : 1;
}
