#include "InlineText.h"

namespace tessival::docgen {

std::vector<InlineSpan> ParseInline(const std::string& markup) {
    std::vector<InlineSpan> spans;
    InlineSpan current;
    const auto close = [&] {
        if (!current.text.empty()) spans.push_back(current);
        current.text.clear();
    };
    for (size_t i = 0; i < markup.size(); ++i) {
        const char c = markup[i];
        if (c == '\\' && i + 1 < markup.size()) {
            current.text += markup[++i];
        } else if (c == '`') {
            const size_t end = markup.find('`', i + 1);
            if (end == std::string::npos) {
                current.text += c;
                continue;
            }
            close();
            spans.push_back({markup.substr(i + 1, end - i - 1), true, current.bold, current.italic});
            i = end;
        } else if (c == '*' && i + 1 < markup.size() && markup[i + 1] == '*') {
            close();
            current.bold = !current.bold;
            ++i;
        } else if (c == '*') {
            close();
            current.italic = !current.italic;
        } else {
            current.text += c;
        }
    }
    close();
    return spans;
}

}  // namespace tessival::docgen
